#pragma once

#include <string>
#include <string_view>
#include <vector>

// An ordered list of raw header lines ("Name: value"), duplicates allowed. A line that
// begins with a space or a TAB continues the header line before it. Lookups compare names
// without regard to case.
class TIdHeaderList {
public:
    std::string Separator = ": ";
    bool NamesCaseSensitive = false;
    bool JoinContinuations = true;
    bool WrapLongLines = true;
    int WrapWidth = 78;

    // Plain list operations.
    int Count() const { return static_cast<int>(lines_.size()); }
    bool Empty() const { return lines_.empty(); }
    const std::string& operator[](int index) const { return lines_[index]; }
    const std::vector<std::string>& Lines() const { return lines_; }
    void Clear() { lines_.clear(); }
    void Add(std::string line) { lines_.push_back(std::move(line)); }
    void Insert(int index, std::string line);
    void Delete(int index);
    void Put(int index, std::string line) { lines_[index] = std::move(line); }
    // Every line followed by CR LF.
    std::string Text() const;
    // Replaces the content by the lines of text, split at CR LF, LF or a lone CR.
    void SetText(std::string_view text);

    // Header operations.
    std::string NameAt(int index) const;
    int IndexOfHeader(std::string_view name) const;
    std::string ValueAt(int index) const;
    std::string ValueOf(std::string_view name) const { return ValueAt(IndexOfHeader(name)); }
    void SetHeader(std::string_view name, std::string_view value);
    // Appends the value of every line named name, first to last; nothing when list is null.
    void CollectValues(std::string_view name, std::vector<std::string>* list) const;
    void DropContinuations(int index);
    std::vector<std::string> WrapHeaderLine(std::string_view line) const;

private:
    std::string_view RawNameAt(int index) const;
    std::string_view NameEnd() const;
    // Whether the name of line index is name, regardless of case; nameEnd is NameEnd().
    bool IsNamed(int index, std::string_view name, std::string_view nameEnd) const;
    bool IsContinuation(int index) const;
    bool FitsOnOneLine(std::string_view line) const;

    std::vector<std::string> lines_;
};

// Inserts breakText into text where a line would pass width columns, breaking after one of
// breakChars that stands outside double quotes. A double-byte character counts two columns
// and is never split; an existing breakText is kept as a break.
std::string WrapAtWidth(std::string_view text, std::string_view breakText,
                        std::string_view breakChars, int width);
