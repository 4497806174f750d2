#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace watch {

class ILineList;

// The lines of an exclusion pane, built once per search so that each row looks its link up
// by hash instead of comparing it with every line. Lines compare by their exact bytes.
// The lines sit one after another in one buffer and the table holds line numbers, so a pane
// of a million lines costs a few allocations rather than two for every line.
class TExclusionSet {
public:
    explicit TExclusionSet(const ILineList& exclusionLines);

    bool Contains(std::string_view link) const;

private:
    std::string_view LineAt(std::uint32_t line) const;
    // The first slot for `text`; the following slots, wrapping round, are its probe sequence.
    std::size_t HomeSlot(std::string_view text) const;

    std::string bytes_;
    std::vector<std::size_t> lineEnds_;
    // 0 for a free slot, else the line number plus 1. At most half of the slots are taken.
    std::vector<std::uint32_t> slots_;
};

} // namespace watch
