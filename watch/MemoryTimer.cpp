#include "watch/MemoryTimer.h"

namespace watch {

void TMemoryTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    elapsed_ = 0;
}

void TMemoryTimer::SetInterval(int milliseconds) {
    if (milliseconds == interval_)
        return;
    interval_ = milliseconds;
    elapsed_ = 0;
}

void TMemoryTimer::Advance(std::int64_t milliseconds) {
    std::int64_t left = milliseconds;
    // A timer with no positive interval never fires.
    while (enabled_ && interval_ > 0 && elapsed_ + left >= interval_) {
        left -= interval_ - elapsed_;
        elapsed_ = 0;
        if (OnTimer)
            OnTimer();
    }
    if (enabled_)
        elapsed_ += left;
}

} // namespace watch
