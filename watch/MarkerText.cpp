#include "watch/MarkerText.h"

#include <cstring>

namespace watch {
namespace {

// Texts shorter than this are searched without memmem.
constexpr size_t kShortText = 1024;

// Pos for a short text: memchr to each byte that could start `sub`, and the last byte of
// `sub` checked before the rest is compared, since markup offers many a "<" that starts
// no marker.
int FindShort(std::string_view sub, std::string_view s) {
    const size_t lastIndex = sub.size() - 1;
    const char* at = s.data();
    const char* const end = s.data() + s.size() - lastIndex;
    while (at < end) {
        at = static_cast<const char*>(memchr(at, sub.front(), static_cast<size_t>(end - at)));
        if (at == nullptr)
            return 0;
        if (at[lastIndex] == sub.back() && memcmp(at, sub.data(), lastIndex) == 0)
            return static_cast<int>(at - s.data()) + 1;
        ++at;
    }
    return 0;
}

bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

} // namespace

int Pos(std::string_view sub, std::string_view s) {
    if (sub.empty() || sub.size() > s.size())
        return 0;
    // memmem skips through long markup far faster than a search that stops at every "<",
    // but builds a table on each call, which costs more than a short text takes to read.
    if (s.size() < kShortText)
        return FindShort(sub, s);
    const void* found = memmem(s.data(), s.size(), sub.data(), sub.size());
    return found == nullptr ? 0 : static_cast<int>(static_cast<const char*>(found) - s.data()) + 1;
}

std::string_view CopyView(std::string_view s, long long index, long long count) {
    long long length = static_cast<long long>(s.size());
    if (index < 1)
        index = 1;
    if (index > length || count < 0)
        return {};
    return s.substr(static_cast<size_t>(index - 1), static_cast<size_t>(count));
}

std::string_view TextBetweenView(std::string_view start, std::string_view end,
                                 std::string_view text) {
    long long p1 = Pos(start, text);
    long long p2 = Pos(end, text);
    long long startLength = static_cast<long long>(start.size());
    return CopyView(text, p1 + startLength, p2 - p1 - startLength);
}

std::string_view TextAfterView(std::string_view marker, std::string_view text) {
    long long p = Pos(marker, text);
    long long markerLength = static_cast<long long>(marker.size());
    long long textLength = static_cast<long long>(text.size());
    return CopyView(text, p + markerLength, textLength - p - markerLength + 1);
}

std::string Copy(const std::string& s, long long index, long long count) {
    return std::string(CopyView(s, index, count));
}

std::string TextBetween(const std::string& start, const std::string& end,
                        const std::string& text) {
    return std::string(TextBetweenView(start, end, text));
}

std::string TextAfter(const std::string& marker, const std::string& text) {
    return std::string(TextAfterView(marker, text));
}

std::string PercentHex(const std::string& text) {
    static const char digits[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(text.size() * 3);
    for (unsigned char byte : text) {
        encoded += '%';
        encoded += digits[byte >> 4];
        encoded += digits[byte & 0x0F];
    }
    return encoded;
}

std::string LowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + ('a' - 'A'));
    }
    return text;
}

std::string Trim(const std::string& text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && IsBlankOrControl(text[first]))
        ++first;
    while (last > first && IsBlankOrControl(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

} // namespace watch
