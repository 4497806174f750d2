#include "watch/MarkerText.h"

namespace watch {
namespace {

bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

} // namespace

int Pos(const std::string& sub, const std::string& s) {
    if (sub.empty())
        return 0;
    size_t found = s.find(sub);
    return found == std::string::npos ? 0 : static_cast<int>(found) + 1;
}

std::string Copy(const std::string& s, long long index, long long count) {
    long long length = static_cast<long long>(s.size());
    if (index < 1)
        index = 1;
    if (index > length || count < 0)
        return {};
    return s.substr(static_cast<size_t>(index - 1), static_cast<size_t>(count));
}

std::string TextBetween(const std::string& start, const std::string& end, const std::string& text) {
    long long p1 = Pos(start, text);
    long long p2 = Pos(end, text);
    long long startLength = static_cast<long long>(start.size());
    return Copy(text, p1 + startLength, p2 - p1 - startLength);
}

std::string TextAfter(const std::string& marker, const std::string& text) {
    long long p = Pos(marker, text);
    long long markerLength = static_cast<long long>(marker.size());
    long long textLength = static_cast<long long>(text.size());
    return Copy(text, p + markerLength, textLength - p - markerLength + 1);
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
