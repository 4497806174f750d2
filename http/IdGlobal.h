#pragma once

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>

// Text routines of the HTTP client.  Texts are 8-bit bytes in the system code page (GBK);
// positions are 1-based and 0 means "not found".

// The lead bytes of the system code page's double-byte characters.  The set is process-wide
// and starts as GBK's (0x81 to 0xFE); an empty set makes every search a plain byte search.
using TIdLeadByteSet = std::bitset<256>;

TIdLeadByteSet GbkLeadBytes();
TIdLeadByteSet LeadBytes();
void SetLeadBytes(const TIdLeadByteSet& leadBytes);
bool IsLeadByte(char byte);

// First position of sub in text.  With lead bytes set, a match never starts on the second
// byte of a double-byte character and the text is read only up to its first NUL byte.
// An empty sub is never found.
int TextPos(std::string_view sub, std::string_view text);

// Returns the part of text before the first delimiter (the whole text when there is none).
// With remove set, text keeps what follows the delimiter (nothing when there is none).
// A delimiter of one NUL byte is searched byte by byte.
std::string TakeToken(std::string& text, std::string_view delimiter, bool remove = true);
// The same over a view: the token and what is kept are views into the same bytes.
std::string_view TakeTokenView(std::string_view& text, std::string_view delimiter,
                               bool remove = true);

// Last position of sub in text at or before start (-1: the end), compared without regard
// to ASCII case.
int BackwardPos(std::string_view sub, std::string_view text, int start = -1);

// Resolves the relative path against base with "/" as the delimiter: ".." steps up one
// segment, runs of slashes collapse; a relative path that begins with "/" is returned as is.
std::string MergePath(std::string_view base, std::string_view relative);

// Replaces every "\" by "/", except a "\" that is the second byte of a double-byte character.
std::string ForwardSlashes(std::string_view text);

// Trimming removes bytes at or below the blank (0x20).
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);
std::string_view TrimView(std::string_view text);
std::string_view TrimLeftView(std::string_view text);
std::string_view TrimRightView(std::string_view text);

// ASCII case folding, for header names and the comparisons that ignore case.
std::string UpperCase(std::string_view text);
bool SameText(std::string_view a, std::string_view b);
// Negative, 0 or positive as a sorts before, with or after b, ASCII letters folded to lower case.
int CompareText(std::string_view a, std::string_view b);

// Integer conversion: leading spaces, an optional sign, then decimal digits or hexadecimal
// digits after "$", "x" or "0x".  Decimal values must fit the signed range; hexadecimal
// values are bit patterns of the type's width, so $FFFFFFFF is -1 as a 32-bit value.
// StrToInt raises EConvertError "'<text>' is not a valid integer value"; the others return
// their default.
int StrToInt(std::string_view text);
int StrToIntDef(std::string_view text, int defaultValue);
std::int64_t StrToInt64Def(std::string_view text, std::int64_t defaultValue);

// The same conversions for fields that are decimal by definition (cookie ages and ports,
// the numbers of a date): only decimal digits count, so "$", "x" or "0x" make them fail.
int DecimalStrToInt(std::string_view text);
int DecimalStrToIntDef(std::string_view text, int defaultValue);
std::int64_t DecimalStrToInt64Def(std::string_view text, std::int64_t defaultValue);
