#include "watch/TextLineList.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace watch {

void TTextLineList::Clear() {
    Assign(std::string());
}

void TTextLineList::Add(const std::string& line) {
    text_ += line;
    text_ += '\n';
    count_ += 1 + static_cast<std::size_t>(std::count(line.begin(), line.end(), '\n'));
}

std::string TTextLineList::Line(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= count_)
        throw std::out_of_range("No line " + std::to_string(index));
    std::size_t line = static_cast<std::size_t>(index);
    if (line < cursorLine_) {
        cursorLine_ = 0;
        cursorOffset_ = 0;
    }
    for (; cursorLine_ < line; ++cursorLine_)
        cursorOffset_ = text_.find('\n', cursorOffset_) + 1;
    return text_.substr(cursorOffset_, text_.find('\n', cursorOffset_) - cursorOffset_);
}

std::string TTextLineList::Text() const {
    std::string text;
    for (std::size_t start = 0; start < text_.size();) {
        std::size_t end = text_.find('\n', start);
        if (start > 0)
            text += "\r\n";
        text.append(text_, start, end - start);
        start = end + 1;
    }
    return text;
}

void TTextLineList::Assign(std::string text) {
    text_ = std::move(text);
    count_ = static_cast<std::size_t>(std::count(text_.begin(), text_.end(), '\n'));
    cursorLine_ = 0;
    cursorOffset_ = 0;
}

} // namespace watch
