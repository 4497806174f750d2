#include "app/QtEnabledFlag.h"

#include <QVariant>

namespace {

// The window's note of the control it holds the focus for, and of the control it lent the
// focus to meanwhile.
constexpr char kFocusHeldFor[] = "focusHeldFor";
constexpr char kFocusLentTo[] = "focusLentTo";

QWidget* FirstEnabledControl(QWidget* window) {
    for (QWidget* next = window->nextInFocusChain(); next != window;
         next = next->nextInFocusChain())
        if ((next->focusPolicy() & Qt::TabFocus) && next->isEnabled() && next->isVisibleTo(window))
            return next;
    return nullptr;
}

// Whether the focus is still where the window put it.
bool FocusUntouched(QWidget* window) {
    QWidget* focus = window->focusWidget();
    return focus == window || focus == window->property(kFocusLentTo).value<QObject*>();
}

} // namespace

// A focused control that is disabled would hand the focus on to the next one, and a text
// field selects its whole text when it gets the focus that way; a key press would then
// replace it.  The window keeps the focus instead and gives it back with the flag, unless
// the user has put it elsewhere meanwhile.
void TQtEnabledFlag::SetEnabled(bool enabled) {
    QWidget* window = widget_->window();
    if (!enabled && window->focusWidget() == widget_) {
        window->setFocus(Qt::OtherFocusReason);
        window->setProperty(kFocusHeldFor, QVariant::fromValue<QObject*>(widget_));
    }
    widget_->setEnabled(enabled);
    if (enabled && window->property(kFocusHeldFor).value<QObject*>() == widget_) {
        if (FocusUntouched(window))
            widget_->setFocus(Qt::OtherFocusReason);
        window->setProperty(kFocusHeldFor, QVariant());
        window->setProperty(kFocusLentTo, QVariant());
    }
}

// Given for any reason but Tab, so that a text field keeps its text unselected.
void LendHeldFocus(QWidget* window) {
    if (window->focusWidget() != window || !window->property(kFocusHeldFor).isValid())
        return;
    if (QWidget* control = FirstEnabledControl(window)) {
        control->setFocus(Qt::OtherFocusReason);
        window->setProperty(kFocusLentTo, QVariant::fromValue<QObject*>(control));
    }
}
