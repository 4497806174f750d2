#pragma once

#include <string>
#include <string_view>

// Program text (GBK) as the terminal gets it: UTF-8, or the GBK bytes unchanged when the
// caller asked for raw output.
std::string TerminalText(std::string_view gbk, bool raw);

// Text on one output line: CR becomes \r, LF \n and a backslash \\, so that a message
// that spans lines stays on one and can be read back without loss.
std::string OneLine(std::string_view text);
