#pragma once

#include <string>
#include <vector>

namespace watch {

// An editable drop-down list: a fixed list of items, the selected item, and an edit text
// that the user may also type freely. Texts are GBK bytes.
//
// An implementation must keep these rules:
// - SetItemIndex(i) with 0 <= i < item count selects item i and makes the edit text equal
//   to that item.
// - SetItemIndex(-1), or any index outside the items, leaves no item selected and the
//   edit text empty.
// - SetText(t), like text typed by hand, sets the edit text and leaves no item selected
//   (ItemIndex() is -1), even when t equals an item.
class ISelector {
public:
    virtual ~ISelector() = default;

    virtual std::vector<std::string> Items() const = 0;

    // Index of the selected item, -1 for none.
    virtual int ItemIndex() const = 0;
    virtual void SetItemIndex(int index) = 0;

    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& text) = 0;
};

} // namespace watch
