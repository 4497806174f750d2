#pragma once

#include "watch/WatchTimer.h"

#include <cstdint>
#include <functional>

namespace watch {

// A timer held as plain state, driven by the caller's own clock: Advance(ms) lets that much
// time pass and calls OnTimer for every tick that falls due, keeping the restart rules of
// IWatchTimer. For tests and the headless tool.
class TMemoryTimer : public IWatchTimer {
public:
    bool Enabled() const override { return enabled_; }
    void SetEnabled(bool enabled) override;
    int Interval() const override { return interval_; }
    void SetInterval(int milliseconds) override;

    // Called on each tick (usually TSearchRun::timerFindJobTimer).
    std::function<void()> OnTimer;

    void Advance(std::int64_t milliseconds);
    // Time counted towards the next tick since the countdown last (re)started.
    std::int64_t Elapsed() const { return elapsed_; }

private:
    bool enabled_ = false;
    int interval_ = 1000;
    std::int64_t elapsed_ = 0;
};

} // namespace watch
