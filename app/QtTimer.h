#pragma once

#include "watch/WatchTimer.h"

#include <QTimer>

// The polling timer of the watch panel over a QTimer.  A QTimer restarts on every change,
// even to the value it already has; the watch panel's timer restarts only on a real one.
class TQtTimer : public watch::IWatchTimer {
public:
    // `timer` is not owned; the window owns it.  It starts disabled, at 1000 ms.
    explicit TQtTimer(QTimer* timer);

    bool Enabled() const override { return timer_->isActive(); }
    void SetEnabled(bool enabled) override;
    int Interval() const override { return timer_->interval(); }
    void SetInterval(int milliseconds) override;

private:
    QTimer* timer_;
};
