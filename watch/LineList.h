#pragma once

#include <string>

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
};

} // namespace watch
