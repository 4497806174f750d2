#include "app/QtEnabledFlag.h"

#include <QVariant>

namespace {
// The window's note of the control it holds the focus for.
constexpr char kFocusHeldFor[] = "focusHeldFor";
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
        window->setProperty(kFocusHeldFor, QVariant());
        if (window->focusWidget() == window)
            widget_->setFocus(Qt::OtherFocusReason);
    }
}
