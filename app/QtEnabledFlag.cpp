#include "app/QtEnabledFlag.h"

// A focused control that is disabled would hand the focus on to the next one, and a text
// field selects its whole text when it gets the focus that way; a key press would then
// replace it.  The window keeps the focus instead and gives it back with the flag.
void TQtEnabledFlag::SetEnabled(bool enabled) {
    QWidget* window = widget_->window();
    if (!enabled && window->focusWidget() == widget_) {
        window->setFocus(Qt::OtherFocusReason);
        holdsFocus_ = true;
    }
    widget_->setEnabled(enabled);
    if (enabled && holdsFocus_) {
        holdsFocus_ = false;
        if (window->focusWidget() == window)
            widget_->setFocus(Qt::OtherFocusReason);
    }
}
