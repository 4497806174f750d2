#pragma once

#include "cli/TickWait.h"

#include <signal.h>

// The watch's wait on the real clock, ended early by SIGINT or SIGTERM. Both signals are
// blocked for the object's life and taken with sigtimedwait, so that one coming during a
// fetch waits until the fetch is over instead of cutting it, and one coming during a wait
// ends it at once. Create it before any thread starts: threads inherit the blocked set.
class TSignalTickWait : public ITickWait {
public:
    TSignalTickWait();
    ~TSignalTickWait() override;
    TSignalTickWait(const TSignalTickWait&) = delete;
    TSignalTickWait& operator=(const TSignalTickWait&) = delete;

    std::int64_t WaitAtMost(std::int64_t milliseconds) override;
    int StopSignal() override;

private:
    // Takes a stop signal that comes within `milliseconds` (0: only one already there).
    void TakeStopSignal(std::int64_t milliseconds);

    sigset_t stopSignals_{};
    sigset_t previousMask_{};
    int stopSignal_ = 0;
};
