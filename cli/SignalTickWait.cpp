#include "cli/SignalTickWait.h"

#include <cerrno>
#include <chrono>
#include <pthread.h>

namespace {

using Clock = std::chrono::steady_clock;

std::int64_t MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

} // namespace

TSignalTickWait::TSignalTickWait() {
    sigemptyset(&stopSignals_);
    sigaddset(&stopSignals_, SIGINT);
    sigaddset(&stopSignals_, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals_, &previousMask_);
}

TSignalTickWait::~TSignalTickWait() {
    pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
}

std::int64_t TSignalTickWait::WaitAtMost(std::int64_t milliseconds) {
    Clock::time_point start = Clock::now();
    std::int64_t passed = 0;
    while (stopSignal_ == 0 && passed < milliseconds) {
        TakeStopSignal(milliseconds - passed);
        passed = MillisecondsSince(start);
    }
    return passed;
}

int TSignalTickWait::StopSignal() {
    if (stopSignal_ == 0)
        TakeStopSignal(0);
    return stopSignal_;
}

void TSignalTickWait::TakeStopSignal(std::int64_t milliseconds) {
    timespec timeout{static_cast<time_t>(milliseconds / 1000),
                     static_cast<long>(milliseconds % 1000) * 1000000};
    int signal = sigtimedwait(&stopSignals_, nullptr, &timeout);
    // EAGAIN: the time is up; EINTR: another signal came, and the caller waits on.
    if (signal > 0)
        stopSignal_ = signal;
}
