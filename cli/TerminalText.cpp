#include "cli/TerminalText.h"

#include "watch/GbkText.h"

std::string TerminalText(std::string_view gbk, bool raw) {
    return raw ? std::string(gbk) : watch::Utf8FromGbk(gbk);
}

std::string OneLine(std::string_view text) {
    std::string line;
    line.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '\r':
            line += "\\r";
            break;
        case '\n':
            line += "\\n";
            break;
        case '\\':
            line += "\\\\";
            break;
        default:
            line += c;
        }
    }
    return line;
}
