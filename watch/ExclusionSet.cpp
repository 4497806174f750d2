#include "watch/ExclusionSet.h"

#include "watch/LineList.h"

#include <functional>

namespace watch {
namespace {

// Lines of 0, 1, 2 and 3 bytes, numbered one length after the other.
constexpr std::size_t ShortLineCount = 1 + 256 + 65536 + 16777216;

std::size_t ShortLineNumber(std::string_view line) {
    std::size_t number = 0;
    std::size_t first = 0;
    for (std::size_t length = 0; length < line.size(); ++length)
        first += std::size_t(1) << (8 * length);
    for (char c : line)
        number = number << 8 | static_cast<unsigned char>(c);
    return first + number;
}

std::size_t LengthBytes(std::size_t length) {
    std::size_t bytes = 1;
    for (; length >= 0x80; length >>= 7)
        ++bytes;
    return bytes;
}

void AppendLength(std::string& buffer, std::size_t length) {
    for (; length >= 0x80; length >>= 7)
        buffer += static_cast<char>(0x80 | (length & 0x7f));
    buffer += static_cast<char>(length);
}

} // namespace

TExclusionSet::TExclusionSet(const ILineList& exclusionLines) {
    const int count = exclusionLines.Count();
    // A first pass sizes the buffer and the table by the long lines, so that neither grows
    // (a growing one briefly needs its old and its new room).
    std::size_t longCount = 0;
    std::size_t longBytes = 0;
    for (int i = 0; i < count; ++i) {
        std::size_t length = exclusionLines.Line(i).size();
        if (length >= LongLineBytes) {
            ++longCount;
            longBytes += LengthBytes(length) + length;
        }
    }
    longLines_.reserve(longBytes);
    if (longCount > 0)
        slots_.assign(longCount + longCount / 4 + 1, 0);
    for (int i = 0; i < count; ++i) {
        std::string line = exclusionLines.Line(i);
        if (line.size() >= LongLineBytes)
            AddLong(line);
        else
            AddShort(line);
    }
}

bool TExclusionSet::Contains(std::string_view link) const {
    if (link.size() < LongLineBytes)
        return ContainsShort(link);
    return !slots_.empty() && slots_[SlotOf(link)] != 0;
}

void TExclusionSet::AddShort(std::string_view line) {
    if (shortLines_.empty())
        shortLines_.assign((ShortLineCount + 63) / 64, 0);
    std::size_t number = ShortLineNumber(line);
    shortLines_[number / 64] |= std::uint64_t(1) << (number % 64);
}

bool TExclusionSet::ContainsShort(std::string_view line) const {
    if (shortLines_.empty())
        return false;
    std::size_t number = ShortLineNumber(line);
    return (shortLines_[number / 64] >> (number % 64) & 1) != 0;
}

void TExclusionSet::AddLong(std::string_view line) {
    std::size_t slot = SlotOf(line);
    if (slots_[slot] != 0)
        return; // a repeated line is kept once
    slots_[slot] = static_cast<std::uint32_t>(longLines_.size()) + 1;
    AppendLength(longLines_, line.size());
    longLines_ += line;
}

std::size_t TExclusionSet::SlotOf(std::string_view line) const {
    std::size_t slot = std::hash<std::string_view>{}(line) % slots_.size();
    while (slots_[slot] != 0 && LongLineAt(slots_[slot] - 1) != line)
        slot = slot + 1 == slots_.size() ? 0 : slot + 1;
    return slot;
}

std::string_view TExclusionSet::LongLineAt(std::uint32_t offset) const {
    std::size_t length = 0;
    std::size_t at = offset;
    for (int shift = 0;; shift += 7) {
        unsigned char byte = static_cast<unsigned char>(longLines_[at++]);
        length |= std::size_t(byte & 0x7f) << shift;
        if ((byte & 0x80) == 0)
            break;
    }
    return std::string_view(longLines_).substr(at, length);
}

} // namespace watch
