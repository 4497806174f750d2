#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace watch {

class ILineList;

// The lines of an exclusion pane, built once per search so that each row looks its link up
// by hash instead of comparing it with every line. Lines compare by their exact bytes.
// Whatever the pane holds, the set costs at most about the pane's bytes plus a fixed amount:
// each distinct line of four bytes or more is kept once, after its length, in one buffer,
// and a table of at most five bytes for each such line points into it; shorter lines
// (there are too many of them to spend a slot on each) are a bit each in a fixed map.
class TExclusionSet {
public:
    explicit TExclusionSet(const ILineList& exclusionLines);

    bool Contains(std::string_view link) const;

private:
    static constexpr std::size_t LongLineBytes = 4;

    void AddShort(std::string_view line);
    bool ContainsShort(std::string_view line) const;
    void AddLong(std::string_view line);
    // The slot that holds `line`, or the free one where it would go.
    std::size_t SlotOf(std::string_view line) const;
    std::string_view LongLineAt(std::uint32_t offset) const;

    // A bit for every possible line of up to three bytes; empty until one comes.
    std::vector<std::uint64_t> shortLines_;
    // Each distinct long line once: its length (7 bits a byte, low first), then its bytes.
    std::string longLines_;
    // 0 for a free slot, else the line's offset in longLines_ plus 1. At least one slot
    // stays free, so every probe sequence ends.
    std::vector<std::uint32_t> slots_;
};

} // namespace watch
