#pragma once

#include "app/QtText.h"
#include "watch/TextField.h"

#include <QLineEdit>

// A text field of the watch panel shown as a line edit.
class TQtTextField : public watch::ITextField {
public:
    // `edit` is not owned; the window owns it.
    explicit TQtTextField(QLineEdit* edit) : edit_(edit) {}

    std::string Text() const override { return ToGbk(edit_->text()); }
    void SetText(const std::string& text) override { edit_->setText(FromGbk(text)); }

private:
    QLineEdit* edit_;
};
