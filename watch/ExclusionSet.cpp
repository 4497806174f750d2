#include "watch/ExclusionSet.h"

#include "watch/LineList.h"

#include <algorithm>
#include <functional>

namespace watch {
namespace {

// Lines of 0, 1, 2 and 3 bytes, numbered one length after the other.
constexpr std::size_t ShortLineCount = 1 + 256 + 65536 + 16777216;

std::size_t ShortLineNumber(std::string_view line) {
    std::size_t number = 0;
    std::size_t first = 0;
    for (std::size_t length = 0; length < line.size(); ++length)
        first += std::size_t(1) << (8 * length);
    for (char c : line)
        number = number << 8 | static_cast<unsigned char>(c);
    return first + number;
}

} // namespace

TExclusionSet::TExclusionSet(const ILineList& exclusionLines) {
    std::string_view lineText = exclusionLines.LineText();
    if (!lineText.empty())
        AddBorrowedLines(lineText);
    else
        AddCopiedLines(exclusionLines);
}

bool TExclusionSet::Contains(std::string_view link) const {
    if (link.size() < LongLineBytes)
        return ContainsShort(link);
    return !slots_.empty() && slots_[SlotOf(link)] != 0;
}

void TExclusionSet::AddBorrowedLines(std::string_view lineText) {
    borrowedLines_ = lineText;
    std::size_t longLines = 0;
    for (std::size_t start = 0; start < lineText.size();) {
        std::size_t end = std::min(lineText.find('\n', start), lineText.size());
        longLines += end - start >= LongLineBytes;
        start = end + 1;
    }
    SizeTable(longLines);
    for (std::size_t start = 0; start < lineText.size();) {
        std::size_t end = std::min(lineText.find('\n', start), lineText.size());
        std::string_view line = lineText.substr(start, end - start);
        if (line.size() < LongLineBytes)
            AddShort(line);
        else if (std::size_t slot = FreeSlotFor(line); slot != std::string::npos)
            slots_[slot] = static_cast<std::uint32_t>(start) + 1;
        start = end + 1;
    }
}

void TExclusionSet::AddCopiedLines(const ILineList& exclusionLines) {
    const int count = exclusionLines.Count();
    std::size_t longLines = 0;
    std::size_t longBytes = 0;
    for (int i = 0; i < count; ++i) {
        std::size_t length = exclusionLines.Line(i).size();
        if (length >= LongLineBytes) {
            ++longLines;
            longBytes += length + 1;
        }
    }
    SizeTable(longLines);
    copiedLines_.reserve(longBytes);
    for (int i = 0; i < count; ++i) {
        std::string line = exclusionLines.Line(i);
        if (line.size() < LongLineBytes) {
            AddShort(line);
        } else if (std::size_t slot = FreeSlotFor(line); slot != std::string::npos) {
            slots_[slot] = static_cast<std::uint32_t>(copiedLines_.size()) + 1;
            copiedLines_ += line;
            copiedLines_ += '\n';
        }
    }
}

void TExclusionSet::SizeTable(std::size_t longLines) {
    if (longLines > 0)
        slots_.assign(longLines + longLines / 4 + 1, 0);
}

void TExclusionSet::AddShort(std::string_view line) {
    if (shortLines_.empty())
        shortLines_.assign((ShortLineCount + 63) / 64, 0);
    std::size_t number = ShortLineNumber(line);
    shortLines_[number / 64] |= std::uint64_t(1) << (number % 64);
}

bool TExclusionSet::ContainsShort(std::string_view line) const {
    if (shortLines_.empty())
        return false;
    std::size_t number = ShortLineNumber(line);
    return (shortLines_[number / 64] >> (number % 64) & 1) != 0;
}

std::size_t TExclusionSet::FreeSlotFor(std::string_view line) const {
    std::size_t slot = SlotOf(line);
    return slots_[slot] == 0 ? slot : std::string::npos;
}

std::size_t TExclusionSet::SlotOf(std::string_view line) const {
    std::size_t slot = std::hash<std::string_view>{}(line) % slots_.size();
    while (slots_[slot] != 0 && LongLineAt(slots_[slot] - 1) != line)
        slot = slot + 1 == slots_.size() ? 0 : slot + 1;
    return slot;
}

std::string_view TExclusionSet::LongLineAt(std::uint32_t offset) const {
    std::string_view text = Text();
    return text.substr(offset, text.find('\n', offset) - offset);
}

} // namespace watch
