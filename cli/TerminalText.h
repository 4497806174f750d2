#pragma once

#include <string>
#include <string_view>

// Program or network text (GBK) as the terminal gets it: UTF-8, or the GBK bytes unchanged
// when the caller asked for raw output, with every control byte but TAB made visible so
// that no peer can drive the terminal and every printed item stays on its line:
//   CR -> \r   LF -> \n   other bytes below 0x20 and DEL -> \xHH (two lower-case hex digits)
//   a backslash -> \\     (so the escapes read back without loss)
// GBK trail bytes are never below 0x40 or DEL, so raw output keeps its characters whole.
std::string TerminalText(std::string_view gbk, bool raw);
