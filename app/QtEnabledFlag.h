#pragma once

#include "watch/EnabledFlag.h"

#include <QWidget>

// The enabled flag of a button of the watch panel.
class TQtEnabledFlag : public watch::IEnabledFlag {
public:
    // `widget` is not owned; the window owns it.
    explicit TQtEnabledFlag(QWidget* widget) : widget_(widget) {}

    bool Enabled() const override { return widget_->isEnabled(); }
    void SetEnabled(bool enabled) override;

private:
    QWidget* widget_;
};

// A window coming back while it holds the focus for a disabled button lends the focus to the
// first enabled control of its tab order, so that a key press reaches a control; the button
// still gets it back when it comes on, unless the user has moved it on from there.
void LendHeldFocus(QWidget* window);
