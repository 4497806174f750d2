#include "watch/MemorySelector.h"

#include <utility>

namespace watch {

TMemorySelector::TMemorySelector(std::vector<std::string> items) : items_(std::move(items)) {}

void TMemorySelector::SetItemIndex(int index) {
    bool isItem = index >= 0 && index < static_cast<int>(items_.size());
    itemIndex_ = isItem ? index : -1;
    text_ = isItem ? items_[index] : std::string();
}

void TMemorySelector::SetText(const std::string& text) {
    itemIndex_ = -1;
    text_ = text;
}

} // namespace watch
