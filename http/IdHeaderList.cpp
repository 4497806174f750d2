#include "http/IdHeaderList.h"

#include <algorithm>

#include "http/IdGlobal.h"

namespace {

bool StartsWithBlank(std::string_view line) {
    return !line.empty() && (line.front() == ' ' || line.front() == '\t');
}

} // namespace

void TIdHeaderList::Insert(int index, std::string line) {
    lines_.insert(lines_.begin() + index, std::move(line));
}

void TIdHeaderList::Delete(int index) {
    lines_.erase(lines_.begin() + index);
}

std::string TIdHeaderList::Text() const {
    std::size_t size = 0;
    for (const std::string& line : lines_) {
        size += line.size() + 2;
    }
    std::string text;
    text.reserve(size);
    for (const std::string& line : lines_) {
        text += line;
        text += "\r\n";
    }
    return text;
}

void TIdHeaderList::SetText(std::string_view text) {
    lines_.clear();
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines_.emplace_back(text.substr(start));
            break;
        }
        lines_.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') {
            ++start;
        }
    }
}

std::string_view TIdHeaderList::RawNameAt(int index) const {
    const std::string& line = lines_[index];
    int colon = TextPos(NameEnd(), line);
    if (colon == 0) {
        return {};
    }
    return std::string_view(line).substr(0, colon - 1);
}

std::string_view TIdHeaderList::NameEnd() const {
    // The separator without its trailing blanks: ":" for the default ": ".
    return TrimRightView(Separator);
}

bool TIdHeaderList::IsNamed(int index, std::string_view name, std::string_view nameEnd) const {
    // A line's name is the text before its first separator, so only a line that has the name
    // and then a separator can be named so; the search for the first separator decides.
    const std::string_view line = lines_[index];
    const bool candidate = name.empty() || (line.size() > name.size() &&
                                            line.substr(name.size()).starts_with(nameEnd) &&
                                            SameText(line.substr(0, name.size()), name));
    return candidate && SameText(RawNameAt(index), name);
}

bool TIdHeaderList::IsContinuation(int index) const {
    return index < Count() && StartsWithBlank(lines_[index]);
}

std::string TIdHeaderList::NameAt(int index) const {
    std::string name(RawNameAt(index));
    return NamesCaseSensitive ? name : UpperCase(name);
}

int TIdHeaderList::IndexOfHeader(std::string_view name) const {
    const std::string_view nameEnd = NameEnd();
    for (int i = 0; i < Count(); ++i) {
        if (IsNamed(i, name, nameEnd)) {
            return i;
        }
    }
    return -1;
}

std::string TIdHeaderList::ValueAt(int index) const {
    if (index < 0 || index >= Count()) {
        return {};
    }
    std::string_view line = lines_[index];
    std::size_t valueStart = RawNameAt(index).size() + 1;
    std::string value(
        TrimView(valueStart < line.size() ? line.substr(valueStart) : std::string_view()));
    if (!JoinContinuations) {
        return value;
    }
    // Each piece is appended once: re-trimming and copying the whole value for every line
    // made a long run of continuation lines cost the square of its length.
    int end = index + 1;
    std::size_t joined = value.size();
    for (; IsContinuation(end); ++end) {
        joined += lines_[end].size() + 1;
    }
    value.reserve(joined);
    for (int next = index + 1; next < end; ++next) {
        const std::string_view piece = TrimView(lines_[next]);
        if (piece.empty()) {
            continue;
        }
        if (!value.empty()) {
            value += ' ';
        }
        value.append(piece);
    }
    return value;
}

void TIdHeaderList::SetHeader(std::string_view name, std::string_view value) {
    int index = IndexOfHeader(name);
    if (value.empty()) {
        if (index >= 0) {
            if (WrapLongLines) {
                DropContinuations(index);
            }
            Delete(index);
        }
        return;
    }
    if (index < 0) {
        Add({});
        index = Count() - 1;
    }
    std::string line;
    line.reserve(name.size() + Separator.size() + value.size());
    line.append(name).append(Separator).append(value);
    if (!WrapLongLines) {
        lines_[index] = std::move(line);
        return;
    }
    DropContinuations(index);
    if (FitsOnOneLine(line)) {
        line.resize(TrimRightView(line).size());
        lines_[index] = std::move(line);
        return;
    }
    std::vector<std::string> pieces = WrapHeaderLine(line);
    lines_[index] = std::move(pieces.back());
    pieces.pop_back();
    lines_.insert(lines_.begin() + index, std::make_move_iterator(pieces.begin()),
                  std::make_move_iterator(pieces.end()));
}

void TIdHeaderList::CollectValues(std::string_view name, std::vector<std::string>* list) const {
    if (list == nullptr) {
        return;
    }
    const std::string_view nameEnd = NameEnd();
    for (int i = 0; i < Count(); ++i) {
        if (IsNamed(i, name, nameEnd)) {
            list->push_back(ValueAt(i));
        }
    }
}

void TIdHeaderList::DropContinuations(int index) {
    while (IsContinuation(index + 1)) {
        Delete(index + 1);
    }
}

bool TIdHeaderList::FitsOnOneLine(std::string_view line) const {
    // A line shorter than the width and without a CR has nowhere to break.
    return line.size() < static_cast<std::size_t>(std::max(WrapWidth, 0)) &&
           line.find('\r') == std::string_view::npos;
}

std::vector<std::string> TIdHeaderList::WrapHeaderLine(std::string_view line) const {
    static constexpr std::string_view kLineBreak = "\r\n";
    if (FitsOnOneLine(line)) {
        return {TrimRight(line)};
    }
    std::string wrapped = WrapAtWidth(line, "\r\n ", "\t ,", WrapWidth);
    std::vector<std::string> pieces;
    std::string_view rest = wrapped;
    for (;;) {
        std::size_t end = rest.find(kLineBreak);
        pieces.push_back(TrimRight(rest.substr(0, end)));
        if (end == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(end + kLineBreak.size());
        if (rest.empty()) {
            break;
        }
    }
    return pieces;
}

std::string WrapAtWidth(std::string_view text, std::string_view breakText,
                        std::string_view breakChars, int width) {
    auto isBreakChar = [breakChars](char c) {
        return breakChars.find(c) != std::string_view::npos;
    };
    const long length = static_cast<long>(text.size());
    std::string result;
    result.reserve(text.size());
    long column = 1;
    long lineStart = 0;
    long breakPoint = -1;
    bool quoted = false;
    long pos = 0;
    while (pos < length) {
        const char current = text[pos];
        bool existingBreak = false;
        if (IsLeadByte(static_cast<unsigned char>(current))) {
            if (pos + 1 < length) {
                ++pos;
                ++column;
            }
        } else if (!breakText.empty() && current == breakText.front()) {
            if (!quoted && text.substr(pos, breakText.size()) == breakText) {
                existingBreak = true;
                pos += static_cast<long>(breakText.size()) - 1;
                breakPoint = pos;
            }
        } else if (isBreakChar(current)) {
            if (!quoted) {
                breakPoint = pos;
            }
        } else if (current == '"') {
            quoted = !quoted;
        }
        ++pos;
        ++column;
        if (quoted || !(existingBreak || (column > width && breakPoint > lineStart))) {
            continue;
        }
        column = pos - breakPoint;
        result.append(text.substr(lineStart, breakPoint - lineStart + 1));
        if (current != '"') {
            while (pos < length &&
                   (isBreakChar(text[pos]) || text[pos] == '\r' || text[pos] == '\n')) {
                ++pos;
            }
        }
        if (!existingBreak && length - pos >= 2) {
            result.append(breakText);
        }
        lineStart = breakPoint + 1;
    }
    result.append(text.substr(lineStart));
    return result;
}
