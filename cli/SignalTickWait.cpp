#include "cli/SignalTickWait.h"

#include <algorithm>
#include <chrono>
#include <poll.h>

namespace {

using Clock = std::chrono::steady_clock;

std::int64_t MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

} // namespace

std::int64_t TSignalTickWait::WaitAtMost(std::int64_t milliseconds) {
    Clock::time_point start = Clock::now();
    std::int64_t passed = 0;
    // A poll ended by a signal that is no stop (EINTR) is followed by one for the rest.
    while (stop_.Signal() == 0 && passed < milliseconds) {
        pollfd wake{stop_.WakeDescriptor(), POLLIN, 0};
        ::poll(&wake, 1, static_cast<int>(std::min<std::int64_t>(milliseconds - passed, 1 << 30)));
        passed = MillisecondsSince(start);
    }
    return passed;
}

int TSignalTickWait::StopSignal() {
    return stop_.Signal();
}
