#pragma once

#include "cli/StopSignals.h"
#include "cli/TickWait.h"

// The watch's wait on the real clock, ended early by a stop signal (SIGINT, SIGTERM,
// SIGHUP). A stop during a fetch gives the fetch up at once (see TStopSignals); one during
// a wait ends it at once.
class TSignalTickWait : public ITickWait {
public:
    std::int64_t WaitAtMost(std::int64_t milliseconds) override;
    int StopSignal() override;

private:
    TStopSignals stop_;
};
