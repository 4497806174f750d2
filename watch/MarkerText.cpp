#include "watch/MarkerText.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace watch {
namespace {

constexpr size_t NotFound = std::string_view::npos;

// Whether the `count` bytes at `a` and `b` are equal, eight at a time. Kept inline: a page
// search tests several candidates for every row, and a call into the C library for each of
// them costs more than the comparison itself.
inline bool SameBytes(const char* a, const char* b, size_t count) {
    for (; count >= 8; a += 8, b += 8, count -= 8) {
        std::uint64_t x;
        std::uint64_t y;
        memcpy(&x, a, 8);
        memcpy(&y, b, 8);
        if (x != y)
            return false;
    }
    for (; count > 0; ++a, ++b, --count) {
        if (*a != *b)
            return false;
    }
    return true;
}

// Tests blocks of starts of `sub` in `s`, from `at` to the last start: a start is a candidate
// only when the first and the last byte of `sub` stand at the right distance, and only
// candidates are compared whole. A block that would run past the last start ends on it
// instead, dropping the starts it tests again, so that a marker near the end of a short text
// (a title's end in its cell) is found without a byte-by-byte search. Returns the first
// match, or NotFound with `at` moved past the starts tested (none when `s` has fewer starts
// than a block). Markup offers a "<" every few bytes, so a search that stops at each first
// byte, or one that builds a table first, is several times slower.
#if defined(__x86_64__)
__attribute__((target("avx2"))) size_t FindWide(std::string_view sub, std::string_view s,
                                                size_t starts, size_t& at) {
    constexpr size_t Width = 32;
    const size_t lastIndex = sub.size() - 1;
    const __m256i first = _mm256_set1_epi8(sub.front());
    const __m256i last = _mm256_set1_epi8(sub.back());
    for (; starts >= Width && at < starts; at = std::min(at, starts - Width) + Width) {
        const size_t block = std::min(at, starts - Width);
        const __m256i heads =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s.data() + block));
        const __m256i tails =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s.data() + block + lastIndex));
        auto candidates = static_cast<unsigned>(_mm256_movemask_epi8(
            _mm256_and_si256(_mm256_cmpeq_epi8(heads, first), _mm256_cmpeq_epi8(tails, last))));
        for (candidates &= ~0u << (at - block); candidates != 0; candidates &= candidates - 1) {
            const size_t candidate = block + static_cast<size_t>(__builtin_ctz(candidates));
            if (SameBytes(s.data() + candidate, sub.data(), lastIndex))
                return candidate;
        }
    }
    return NotFound;
}

bool HasAvx2() {
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2;
}
#endif

#if defined(__SSE2__)
size_t FindNarrow(std::string_view sub, std::string_view s, size_t starts, size_t& at) {
    constexpr size_t Width = 16;
    const size_t lastIndex = sub.size() - 1;
    const __m128i first = _mm_set1_epi8(sub.front());
    const __m128i last = _mm_set1_epi8(sub.back());
    for (; starts >= Width && at < starts; at = std::min(at, starts - Width) + Width) {
        const size_t block = std::min(at, starts - Width);
        const __m128i heads = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.data() + block));
        const __m128i tails =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.data() + block + lastIndex));
        auto candidates = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_and_si128(_mm_cmpeq_epi8(heads, first), _mm_cmpeq_epi8(tails, last))));
        for (candidates &= ~0u << (at - block); candidates != 0; candidates &= candidates - 1) {
            const size_t candidate = block + static_cast<size_t>(__builtin_ctz(candidates));
            if (SameBytes(s.data() + candidate, sub.data(), lastIndex))
                return candidate;
        }
    }
    return NotFound;
}
#endif

// The 0-based offset of the first `sub` in `s` (both non-empty, `sub` no longer than `s`), or
// NotFound: thirty-two starts at a time where the processor has AVX2, else sixteen (SSE2);
// only a text with fewer starts than that is searched byte by byte.
size_t Find(std::string_view sub, std::string_view s) {
    const size_t lastIndex = sub.size() - 1;
    const size_t starts = s.size() - lastIndex;
    size_t at = 0;
#if defined(__x86_64__)
    if (HasAvx2()) {
        if (size_t found = FindWide(sub, s, starts, at); found != NotFound)
            return found;
    }
#endif
#if defined(__SSE2__)
    if (size_t found = FindNarrow(sub, s, starts, at); found != NotFound)
        return found;
#endif
    for (; at < starts; ++at) {
        if (s[at] == sub.front() && s[at + lastIndex] == sub.back() &&
            SameBytes(s.data() + at, sub.data(), lastIndex))
            return at;
    }
    return NotFound;
}

bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

} // namespace

int Pos(std::string_view sub, std::string_view s) {
    if (sub.empty() || sub.size() > s.size())
        return 0;
    size_t found = Find(sub, s);
    return found == NotFound ? 0 : static_cast<int>(found) + 1;
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
