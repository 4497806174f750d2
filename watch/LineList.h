#pragma once

#include <string>
#include <string_view>

namespace watch {

// The lines of a multi-line text pane (result pane, exclusion pane). Lines are GBK bytes
// without line breaks; Line(i) for 0 <= i < Count(). A pane text that ends with a line break
// has no empty line after it: the break ends the last line.
class ILineList {
public:
    virtual ~ILineList() = default;

    virtual void Clear() = 0;
    virtual void Add(const std::string& line) = 0;
    virtual int Count() const = 0;
    virtual std::string Line(int index) const = 0;

    // All lines joined with CR LF between them (none after the last).
    virtual std::string Text() const = 0;
    // The lines as one text, each ended by LF, for a list that holds them so: a reader may
    // borrow it while the list stays unchanged instead of copying every line. Empty for any
    // other list.
    virtual std::string_view LineText() const { return {}; }
};

} // namespace watch
