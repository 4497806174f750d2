#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Cuts a fuzzer's input into the pieces a target needs: the first byte as a selector, the
// rest split at a separator byte, so one input can carry several related texts.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : text_(reinterpret_cast<const char*>(data), size) {}

    // The first byte (0 for an empty input); the remaining text no longer holds it.
    std::uint8_t TakeByte() {
        if (text_.empty())
            return 0;
        auto byte = static_cast<std::uint8_t>(text_.front());
        text_.remove_prefix(1);
        return byte;
    }

    // The rest of the input split at every `separator` (one piece for no separator).
    std::vector<std::string> Pieces(char separator) const {
        std::vector<std::string> pieces;
        std::string_view rest = text_;
        for (std::size_t at; (at = rest.find(separator)) != std::string_view::npos;) {
            pieces.emplace_back(rest.substr(0, at));
            rest.remove_prefix(at + 1);
        }
        pieces.emplace_back(rest);
        return pieces;
    }

    std::string Rest() const { return std::string(text_); }

private:
    std::string_view text_;
};
