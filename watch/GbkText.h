#pragma once

#include <string>
#include <string_view>

namespace watch {

// The program holds its text as GBK bytes. Chinese literals are written in the source as
// UTF-8 and pass through Gbk() once; the edges that speak UTF-8 (widgets, terminal, files
// of the desktop) convert with GbkFromUtf8() and Utf8FromGbk().
//
// The edges convert as GB18030, the superset of GBK that holds every Unicode character: a
// character that GBK holds keeps its GBK bytes, and any other (an emoji, an accented or a
// Greek letter of a UTF-8 job board) its GB18030 bytes instead of becoming "?", so that it
// comes back unchanged.
//
// Both directions never fail: a byte sequence that is not valid in the source encoding
// becomes a single "?". A broken sequence ends at the first byte that cannot continue it;
// that byte is read on its own ("\x81 C" gives "? C").

// GBK bytes of a UTF-8 source literal: Gbk("北京") is B1 B1 BE A9.
std::string Gbk(std::string_view utf8Literal);

std::string GbkFromUtf8(std::string_view utf8);
std::string Utf8FromGbk(std::string_view gbk);

} // namespace watch
