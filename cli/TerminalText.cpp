#include "cli/TerminalText.h"

#include "watch/GbkText.h"

namespace {

bool IsControl(unsigned char c) {
    return (c < 0x20 && c != '\t') || c == 0x7f;
}

void AppendVisible(std::string& out, unsigned char c) {
    static const char* const Hex = "0123456789abcdef";
    if (c == '\\') {
        out += "\\\\";
    } else if (c == '\r') {
        out += "\\r";
    } else if (c == '\n') {
        out += "\\n";
    } else if (IsControl(c)) {
        out += "\\x";
        out += Hex[c >> 4];
        out += Hex[c & 0xf];
    } else {
        out += static_cast<char>(c);
    }
}

} // namespace

std::string TerminalText(std::string_view gbk, bool raw) {
    std::string text = raw ? std::string(gbk) : watch::Utf8FromGbk(gbk);
    std::string visible;
    visible.reserve(text.size());
    for (char c : text)
        AppendVisible(visible, static_cast<unsigned char>(c));
    return visible;
}
