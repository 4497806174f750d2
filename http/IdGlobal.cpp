#include "http/IdGlobal.h"

#include "http/EConvertError.h"
#include "http/IdResourceStrings.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <limits>
#include <optional>
#include <type_traits>

namespace {

std::uint64_t WordOf(const TIdLeadByteSet& set, std::size_t word) {
    std::uint64_t bits = 0;
    for (std::size_t bit = 0; bit < 64; ++bit) {
        if (set[word * 64 + bit]) {
            bits |= std::uint64_t{1} << bit;
        }
    }
    return bits;
}

// The lead-byte set as four 64-bit words, so that threads may read it while a test
// switches it.
std::array<std::atomic<std::uint64_t>, 4>& LeadByteWords() {
    static std::array<std::atomic<std::uint64_t>, 4> words{
        WordOf(GbkLeadBytes(), 0), WordOf(GbkLeadBytes(), 1), WordOf(GbkLeadBytes(), 2),
        WordOf(GbkLeadBytes(), 3)};
    return words;
}

// The lead-byte set read once, for a walk over many bytes.
class TLeadByteSnapshot {
public:
    TLeadByteSnapshot() {
        const auto& words = LeadByteWords();
        for (std::size_t word = 0; word < words_.size(); ++word) {
            words_[word] = words[word].load(std::memory_order_relaxed);
        }
    }
    bool Empty() const {
        return std::all_of(words_.begin(), words_.end(), [](auto word) { return word == 0; });
    }
    bool Has(char byte) const {
        const auto value = static_cast<unsigned char>(byte);
        return (words_[value / 64] >> (value % 64) & 1) != 0;
    }
    // The index of the first lead byte or NUL in text; its size when there is none.
    std::size_t FirstLeadOrNulIn(std::string_view text) const {
        const auto stop =
            std::find_if(text.begin(), text.end(), [this](char c) { return c == '\0' || Has(c); });
        return static_cast<std::size_t>(stop - text.begin());
    }

private:
    std::array<std::uint64_t, 4> words_;
};

bool IsBlank(char byte) {
    return static_cast<unsigned char>(byte) <= 0x20;
}

char LowerAscii(char byte) {
    return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte;
}

char UpperAscii(char byte) {
    return byte >= 'a' && byte <= 'z' ? static_cast<char>(byte - 'a' + 'A') : byte;
}

int DigitValue(char byte, int base) {
    int value = 16;
    if (byte >= '0' && byte <= '9') {
        value = byte - '0';
    } else if (byte >= 'a' && byte <= 'f') {
        value = byte - 'a' + 10;
    } else if (byte >= 'A' && byte <= 'F') {
        value = byte - 'A' + 10;
    }
    return value < base ? value : -1;
}

// Skips the hexadecimal prefix at index, if there is one.
bool TakeHexPrefix(std::string_view text, std::size_t& index) {
    if (index < text.size() && (text[index] == '$' || text[index] == 'x' || text[index] == 'X')) {
        ++index;
        return true;
    }
    if (index + 1 < text.size() && text[index] == '0' &&
        (text[index + 1] == 'x' || text[index + 1] == 'X')) {
        index += 2;
        return true;
    }
    return false;
}

enum class TRadix { DecimalOrHex, DecimalOnly };

template <typename Int>
std::optional<Int> ParseInteger(std::string_view text, TRadix radix = TRadix::DecimalOrHex) {
    using Unsigned = std::make_unsigned_t<Int>;
    constexpr Unsigned unsignedMax = std::numeric_limits<Unsigned>::max();

    std::size_t index = 0;
    while (index < text.size() && text[index] == ' ') {
        ++index;
    }
    bool negative = false;
    if (index < text.size() && (text[index] == '+' || text[index] == '-')) {
        negative = text[index] == '-';
        ++index;
    }
    const bool hex = radix == TRadix::DecimalOrHex && TakeHexPrefix(text, index);
    const unsigned base = hex ? 16 : 10;
    if (index == text.size()) {
        return std::nullopt;
    }
    Unsigned magnitude = 0;
    for (; index < text.size(); ++index) {
        const int digit = DigitValue(text[index], static_cast<int>(base));
        if (digit < 0 || magnitude > (unsignedMax - static_cast<Unsigned>(digit)) / base) {
            return std::nullopt;
        }
        magnitude = magnitude * base + static_cast<Unsigned>(digit);
    }
    if (!hex) {
        const Unsigned limit =
            static_cast<Unsigned>(std::numeric_limits<Int>::max()) + (negative ? 1 : 0);
        if (magnitude > limit) {
            return std::nullopt;
        }
    }
    // Modular conversion: a hexadecimal pattern with the top bit set becomes negative.
    return static_cast<Int>(negative ? Unsigned{0} - magnitude : magnitude);
}

} // namespace

TIdLeadByteSet GbkLeadBytes() {
    TIdLeadByteSet set;
    for (std::size_t byte = 0x81; byte <= 0xFE; ++byte) {
        set.set(byte);
    }
    return set;
}

TIdLeadByteSet LeadBytes() {
    TIdLeadByteSet set;
    for (std::size_t byte = 0; byte < set.size(); ++byte) {
        set[byte] = IsLeadByte(static_cast<char>(byte));
    }
    return set;
}

void SetLeadBytes(const TIdLeadByteSet& leadBytes) {
    auto& words = LeadByteWords();
    for (std::size_t word = 0; word < words.size(); ++word) {
        words[word].store(WordOf(leadBytes, word), std::memory_order_relaxed);
    }
}

bool IsLeadByte(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    const std::uint64_t bits = LeadByteWords()[value / 64].load(std::memory_order_relaxed);
    return (bits >> (value % 64) & 1) != 0;
}

int TextPos(std::string_view sub, std::string_view text) {
    if (sub.empty()) {
        return 0;
    }
    const TLeadByteSnapshot leadBytes;
    const std::size_t found = text.find(sub);
    if (leadBytes.Empty() || found == std::string_view::npos) {
        return found == std::string_view::npos ? 0 : static_cast<int>(found) + 1;
    }
    // The text ends at its first NUL, so a sub holding one is never found.
    if (sub.find('\0') != std::string_view::npos) {
        return 0;
    }
    // Up to the first lead byte or NUL the walk below steps one byte at a time, so a match
    // there is the one a plain search finds.
    std::size_t index = leadBytes.FirstLeadOrNulIn(text.substr(0, found));
    if (index == found) {
        return static_cast<int>(found) + 1;
    }
    text = text.substr(0, text.find('\0', index));
    for (; index + sub.size() <= text.size(); index += leadBytes.Has(text[index]) ? 2 : 1) {
        if (text[index] == sub.front() && text.substr(index, sub.size()) == sub) {
            return static_cast<int>(index) + 1;
        }
    }
    return 0;
}

std::string TakeToken(std::string& text, std::string_view delimiter, bool remove) {
    std::string_view rest = text;
    std::string token(TakeTokenView(rest, delimiter, remove));
    text.erase(0, text.size() - rest.size());
    return token;
}

std::string_view TakeTokenView(std::string_view& text, std::string_view delimiter, bool remove) {
    std::size_t position = 0;
    if (delimiter == std::string_view("\0", 1)) {
        const std::size_t found = text.find('\0');
        position = found == std::string_view::npos ? 0 : found + 1;
    } else {
        position = static_cast<std::size_t>(TextPos(delimiter, text));
    }
    const std::string_view token = position == 0 ? text : text.substr(0, position - 1);
    if (remove) {
        text.remove_prefix(position == 0 ? text.size() : position - 1 + delimiter.size());
    }
    return token;
}

int BackwardPos(std::string_view sub, std::string_view text, int start) {
    if (sub.empty()) {
        return 0;
    }
    const int lastCandidate = static_cast<int>(text.size()) - static_cast<int>(sub.size()) + 1;
    const int first = start == -1 ? lastCandidate : std::min(start, lastCandidate);
    for (int position = first; position >= 1; --position) {
        if (SameText(text.substr(static_cast<std::size_t>(position) - 1, sub.size()), sub)) {
            return position;
        }
    }
    return 0;
}

std::string MergePath(std::string_view base, std::string_view relative) {
    if (!relative.empty() && relative.front() == '/') {
        return std::string(relative);
    }
    const bool keepTrailingSlash = relative.empty() || relative.back() == '/';
    std::string work(base);
    if (!work.empty() && work.back() != '/') {
        work += '/';
    }
    work += relative;

    std::string result;
    for (std::size_t index = 0; index < work.size(); ++index) {
        const char byte = work[index];
        const bool afterSlash = !result.empty() && result.back() == '/';
        if (byte == '/') {
            if (!afterSlash) {
                result += '/';
            }
        } else if (byte == '.' && afterSlash && work.compare(index, 2, "..") == 0) {
            // Step up: drop the slash and the segment before it; the next slash of the
            // work text is absorbed by the collapsing above.
            result.pop_back();
            while (!result.empty() && result.back() != '/') {
                result.pop_back();
            }
            ++index;
        } else {
            result += byte;
        }
    }
    if (result != "/" && !result.empty() && result.back() == '/' && !keepTrailingSlash) {
        result.pop_back();
    }
    return result;
}

std::string ForwardSlashes(std::string_view text) {
    std::string result(text);
    for (std::size_t index = 0; index < result.size(); ++index) {
        if (IsLeadByte(result[index])) {
            ++index;
        } else if (result[index] == '\\') {
            result[index] = '/';
        }
    }
    return result;
}

std::string_view TrimLeftView(std::string_view text) {
    const auto first = std::find_if_not(text.begin(), text.end(), IsBlank);
    return text.substr(static_cast<std::size_t>(first - text.begin()));
}

std::string_view TrimRightView(std::string_view text) {
    const auto last = std::find_if_not(text.rbegin(), text.rend(), IsBlank);
    return text.substr(0, static_cast<std::size_t>(text.rend() - last));
}

std::string_view TrimView(std::string_view text) {
    return TrimLeftView(TrimRightView(text));
}

std::string TrimLeft(std::string_view text) {
    return std::string(TrimLeftView(text));
}

std::string TrimRight(std::string_view text) {
    return std::string(TrimRightView(text));
}

std::string Trim(std::string_view text) {
    return std::string(TrimView(text));
}

std::string UpperCase(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), UpperAscii);
    return result;
}

bool SameText(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

int CompareText(std::string_view a, std::string_view b) {
    const auto lowerByte = [](char byte) { return static_cast<unsigned char>(LowerAscii(byte)); };
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t index = 0; index < common; ++index) {
        if (lowerByte(a[index]) != lowerByte(b[index])) {
            return lowerByte(a[index]) < lowerByte(b[index]) ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

namespace {

EConvertError InvalidInteger(std::string_view text) {
    const std::string_view format = RSInvalidInteger;
    const std::size_t slot = format.find("%s");
    std::string message(format.substr(0, slot));
    message.append(text).append(format.substr(slot + 2));
    return EConvertError(message);
}

} // namespace

int StrToInt(std::string_view text) {
    const std::optional<int> value = ParseInteger<int>(text);
    if (!value) {
        throw InvalidInteger(text);
    }
    return *value;
}

int StrToIntDef(std::string_view text, int defaultValue) {
    return ParseInteger<int>(text).value_or(defaultValue);
}

std::int64_t StrToInt64Def(std::string_view text, std::int64_t defaultValue) {
    return ParseInteger<std::int64_t>(text).value_or(defaultValue);
}

int DecimalStrToInt(std::string_view text) {
    const std::optional<int> value = ParseInteger<int>(text, TRadix::DecimalOnly);
    if (!value) {
        throw InvalidInteger(text);
    }
    return *value;
}

int DecimalStrToIntDef(std::string_view text, int defaultValue) {
    return ParseInteger<int>(text, TRadix::DecimalOnly).value_or(defaultValue);
}

std::int64_t DecimalStrToInt64Def(std::string_view text, std::int64_t defaultValue) {
    return ParseInteger<std::int64_t>(text, TRadix::DecimalOnly).value_or(defaultValue);
}
