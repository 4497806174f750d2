#include "app/QtSelector.h"

#include "app/QtText.h"

#include <QLineEdit>

TQtSelector::TQtSelector(QComboBox* combo, const std::vector<std::string>& items)
    : combo_(combo), items_(items) {
    combo_->setEditable(true);
    // Typed text must neither grow the list nor be completed into an item.
    combo_->setInsertPolicy(QComboBox::NoInsert);
    combo_->setCompleter(nullptr);
    // The combo box also selects the item that equals its text when the focus leaves the
    // field or Enter is pressed there; typing must never select.
    QObject::disconnect(combo_->lineEdit(), &QLineEdit::editingFinished, combo_, nullptr);
    QObject::disconnect(combo_->lineEdit(), &QLineEdit::returnPressed, combo_, nullptr);
    for (const auto& item : items_)
        combo_->addItem(FromGbk(item));
    combo_->setCurrentIndex(-1);
    QObject::connect(combo_->lineEdit(), &QLineEdit::textEdited, combo_,
                     [this](const QString& text) { TypedByHand(text); });
}

void TQtSelector::SetItemIndex(int index) {
    bool isItem = index >= 0 && index < static_cast<int>(items_.size());
    combo_->setCurrentIndex(isItem ? index : -1);
    if (!isItem)
        combo_->setEditText(QString());
}

std::string TQtSelector::Text() const {
    return ToGbk(combo_->currentText());
}

void TQtSelector::SetText(const std::string& text) {
    TypedByHand(FromGbk(text));
}

void TQtSelector::TypedByHand(const QString& text) {
    QLineEdit* edit = combo_->lineEdit();
    int cursor = edit->cursorPosition();
    combo_->setCurrentIndex(-1);
    edit->setText(text);
    edit->setCursorPosition(cursor);
}
