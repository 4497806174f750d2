#pragma once

#include "watch/LineList.h"

#include <cstddef>
#include <string>

namespace watch {

// A line list held as one text, every line ended by LF: a pane of millions of short lines
// costs its bytes and nothing for each line. Reading the lines in order is cheap; reading
// one before the last read starts again from the top.
class TTextLineList : public ILineList {
public:
    void Clear() override;
    // A line holding LF becomes several lines, as in a text pane.
    void Add(const std::string& line) override;
    int Count() const override { return static_cast<int>(count_); }
    std::string Line(int index) const override;
    std::string Text() const override;
    std::string_view LineText() const override { return text_; }

    // Takes `text` as the list: empty, or lines each ended by LF.
    void Assign(std::string text);

private:
    std::string text_;
    std::size_t count_ = 0;
    // Where the line numbered cursorLine_ starts: where the last Line() left off.
    mutable std::size_t cursorLine_ = 0;
    mutable std::size_t cursorOffset_ = 0;
};

} // namespace watch
