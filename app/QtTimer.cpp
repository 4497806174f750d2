#include "app/QtTimer.h"

TQtTimer::TQtTimer(QTimer* timer) : timer_(timer) {
    timer_->stop();
    timer_->setInterval(1000);
}

void TQtTimer::SetEnabled(bool enabled) {
    if (enabled == timer_->isActive())
        return;
    if (enabled)
        timer_->start();
    else
        timer_->stop();
}

void TQtTimer::SetInterval(int milliseconds) {
    if (milliseconds != timer_->interval())
        timer_->setInterval(milliseconds);
}
