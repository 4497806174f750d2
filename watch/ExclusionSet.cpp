#include "watch/ExclusionSet.h"

#include "watch/LineList.h"

#include <bit>
#include <functional>

namespace watch {

TExclusionSet::TExclusionSet(const ILineList& exclusionLines) {
    const int count = exclusionLines.Count();
    lineEnds_.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        bytes_ += exclusionLines.Line(i);
        lineEnds_.push_back(bytes_.size());
    }
    slots_.assign(std::bit_ceil(2 * lineEnds_.size() + 2), 0);
    for (std::uint32_t line = 0; line < lineEnds_.size(); ++line) {
        std::string_view text = LineAt(line);
        std::size_t slot = HomeSlot(text);
        while (slots_[slot] != 0 && LineAt(slots_[slot] - 1) != text)
            slot = (slot + 1) & (slots_.size() - 1);
        slots_[slot] = line + 1; // a repeated line takes its first copy's slot
    }
}

bool TExclusionSet::Contains(std::string_view link) const {
    for (std::size_t slot = HomeSlot(link); slots_[slot] != 0;
         slot = (slot + 1) & (slots_.size() - 1)) {
        if (LineAt(slots_[slot] - 1) == link)
            return true;
    }
    return false;
}

std::string_view TExclusionSet::LineAt(std::uint32_t line) const {
    std::size_t start = line == 0 ? 0 : lineEnds_[line - 1];
    return std::string_view(bytes_).substr(start, lineEnds_[line] - start);
}

std::size_t TExclusionSet::HomeSlot(std::string_view text) const {
    return std::hash<std::string_view>{}(text) & (slots_.size() - 1);
}

} // namespace watch
