#pragma once

#include "watch/LineList.h"

#include <vector>

namespace watch {

// A line list held as plain state, for tests and the headless tool.
class TMemoryLineList : public ILineList {
public:
    void Clear() override { lines_.clear(); }
    void Add(const std::string& line) override { lines_.push_back(line); }
    int Count() const override { return static_cast<int>(lines_.size()); }
    std::string Line(int index) const override { return lines_.at(index); }
    std::string Text() const override;

    const std::vector<std::string>& Lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

} // namespace watch
