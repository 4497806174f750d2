#pragma once

#include "watch/Selector.h"

namespace watch {

// A selector held as plain state, for tests and the headless tool. Starts with no item
// selected and an empty text.
class TMemorySelector : public ISelector {
public:
    explicit TMemorySelector(std::vector<std::string> items);

    std::vector<std::string> Items() const override { return items_; }
    int ItemIndex() const override { return itemIndex_; }
    void SetItemIndex(int index) override;
    std::string Text() const override { return text_; }
    void SetText(const std::string& text) override;

private:
    std::vector<std::string> items_;
    int itemIndex_ = -1;
    std::string text_;
};

} // namespace watch
