#include "watch/MarkerText.h"

#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace watch {
namespace {

// The 0-based offset of the first `sub` in `s` (both non-empty, `sub` no longer than `s`), or
// npos. A start is a candidate only when the first and the last byte of `sub` stand at the
// right distance, and only candidates are compared whole; the test runs over sixteen starts
// at a time where the processor allows. Markup offers a "<" every few bytes, so a search
// that stops at each first byte, or one that builds a table first, is several times slower.
size_t Find(std::string_view sub, std::string_view s) {
    const size_t lastIndex = sub.size() - 1;
    const size_t starts = s.size() - lastIndex;
    size_t at = 0;
#if defined(__SSE2__)
    const __m128i first = _mm_set1_epi8(sub.front());
    const __m128i last = _mm_set1_epi8(sub.back());
    for (; at + 16 <= starts; at += 16) {
        const __m128i heads = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.data() + at));
        const __m128i tails =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.data() + at + lastIndex));
        auto candidates = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_and_si128(_mm_cmpeq_epi8(heads, first), _mm_cmpeq_epi8(tails, last))));
        for (; candidates != 0; candidates &= candidates - 1) {
            const size_t candidate = at + static_cast<size_t>(__builtin_ctz(candidates));
            if (memcmp(s.data() + candidate, sub.data(), lastIndex) == 0)
                return candidate;
        }
    }
#endif
    for (; at < starts; ++at) {
        if (s[at] == sub.front() && s[at + lastIndex] == sub.back() &&
            memcmp(s.data() + at, sub.data(), lastIndex) == 0)
            return at;
    }
    return std::string_view::npos;
}

bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

} // namespace

int Pos(std::string_view sub, std::string_view s) {
    if (sub.empty() || sub.size() > s.size())
        return 0;
    size_t found = Find(sub, s);
    return found == std::string_view::npos ? 0 : static_cast<int>(found) + 1;
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

std::string TextBetween(const std::string& start, const std::string& end, const std::string& text) {
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
