#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace watch {

class ILineList;

// The lines of an exclusion pane, built once per search so that each row looks its link up
// by hash instead of comparing it with every line. Lines compare by their exact bytes.
// Whatever the pane holds, the set costs at most about the pane's bytes plus a fixed amount,
// and no more than a table of five bytes for each line of four bytes or more when the pane
// is held as one text, which the set then borrows: it must outlive the set unchanged.
// Shorter lines (there are too many of them to spend a slot on each) are a bit each in a
// fixed map.
class TExclusionSet {
public:
    explicit TExclusionSet(const ILineList& exclusionLines);

    bool Contains(std::string_view link) const;

private:
    static constexpr std::size_t LongLineBytes = 4;

    // Two passes over the lines: the first sizes the table (and the copy) by the long lines,
    // so that neither grows (a growing one briefly needs its old and its new room).
    void AddBorrowedLines(std::string_view lineText);
    void AddCopiedLines(const ILineList& exclusionLines);
    void SizeTable(std::size_t longLines);
    void AddShort(std::string_view line);
    bool ContainsShort(std::string_view line) const;
    // The free slot for `line`, or npos when an equal line is in already.
    std::size_t FreeSlotFor(std::string_view line) const;
    // The slot that holds `line`, or the free one where it would go.
    std::size_t SlotOf(std::string_view line) const;
    std::string_view LongLineAt(std::uint32_t offset) const;
    // The long lines, each ended by LF: the pane's own text, or the copy.
    std::string_view Text() const { return copiedLines_.empty() ? borrowedLines_ : copiedLines_; }

    // A bit for every possible line of up to three bytes; empty until one comes.
    std::vector<std::uint64_t> shortLines_;
    std::string_view borrowedLines_;
    // Each distinct long line once, for a pane not held as one text.
    std::string copiedLines_;
    // 0 for a free slot, else the offset of the line's first byte in Text() plus 1. At least
    // one slot stays free, so every probe sequence ends.
    std::vector<std::uint32_t> slots_;
};

} // namespace watch
