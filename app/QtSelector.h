#pragma once

#include "watch/Selector.h"

#include <QComboBox>

// An editable drop-down list of the watch panel.  Picking an item selects it; text typed
// by hand leaves no item selected, even when it equals an item.
class TQtSelector : public watch::ISelector {
public:
    // `combo` is not owned; the window owns it.  Fills it with `items`, none selected.
    TQtSelector(QComboBox* combo, const std::vector<std::string>& items);

    std::vector<std::string> Items() const override { return items_; }
    int ItemIndex() const override { return combo_->currentIndex(); }
    void SetItemIndex(int index) override;
    std::string Text() const override;
    void SetText(const std::string& text) override;

private:
    void TypedByHand(const QString& text);

    QComboBox* combo_;
    std::vector<std::string> items_;
};
