#pragma once

#include <string>
#include <string_view>

namespace watch {

// Byte-wise text operations on GBK text with 1-based positions, 0 meaning "not found".
// The scraper and the announcement pane locate everything through these, so their edge
// behaviour (see TextBetween and TextAfter) is the same everywhere. None of them throws.

// Position of the first occurrence of `sub` in `s`, byte-exact; 0 when absent.
int Pos(std::string_view sub, std::string_view s);

// Up to `count` bytes of `s` from 1-based `index`. An index <= 0 counts as 1; an index past
// the end or a negative count gives an empty result; the count is cut to what remains.
std::string Copy(const std::string& s, long long index, long long count);

// The bytes between the first `start` and the first `end`, both searched from the
// beginning of `text`. With `end` absent or before `start` the result is empty; with only
// `start` absent it runs from position Length(start) to just before `end`.
std::string TextBetween(const std::string& start, const std::string& end, const std::string& text);

// Every byte after the first `marker`. With the marker absent, the bytes from position
// Length(marker) to the end.
std::string TextAfter(const std::string& marker, const std::string& text);

// Copy, TextBetween and TextAfter as views into `text`, for walking a large page without
// copying it piece by piece; the views are valid only while `text` is.
std::string_view CopyView(std::string_view s, long long index, long long count);
std::string_view TextBetweenView(std::string_view start, std::string_view end,
                                 std::string_view text);
std::string_view TextAfterView(std::string_view marker, std::string_view text);

// Every byte as "%" and two upper-case hex digits: "abc" gives "%61%62%63".
std::string PercentHex(const std::string& text);

// A to Z become a to z, byte by byte (trail bytes of GBK characters included).
std::string LowerAscii(std::string text);

// Without the leading and trailing bytes at or below the blank (0x20).
std::string Trim(const std::string& text);

} // namespace watch
