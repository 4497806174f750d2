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
