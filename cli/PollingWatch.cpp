#include "cli/PollingWatch.h"

#include "cli/ExitStatus.h"
#include "cli/PanelFiles.h"
#include "cli/ProxyOption.h"
#include "cli/SearchCommand.h"
#include "cli/TickWait.h"
#include "cli/TimeStamp.h"

#include <algorithm>
#include <ostream>

TPollingWatch::TPollingWatch(const TSearchOptions& options, ITickWait& wait, std::ostream& err)
    : options_(&options), wait_(&wait), err_(&err), httpFetcher_(ProxiesOf(options.Proxy)),
      stopAwareFetcher_(httpFetcher_, wait), failureCounter_(stopAwareFetcher_),
      searchRun_(panel_, failureCounter_, BoardOf(options)) {
    LoadPanel(options, panel_);
    panel_.timerFindJob().OnTimer = [this] { Search(); };
}

int TPollingWatch::Run() {
    searchRun_.btnGoClick();
    if (!panel_.InTray) {
        PrintMessages(panel_, options_->Raw, *err_);
        return esNothingOrFailure;
    }
    Search();
    for (;;) {
        if (int signal = wait_->StopSignal())
            return 128 + signal;
        if (FoundEnough())
            return esSuccess;
        if (!panel_.timerFindJob().Enabled())
            return esNothingOrFailure;
        WaitForTick();
    }
}

void TPollingWatch::WaitForTick() {
    watch::TMemoryTimer& timer = panel_.timerFindJob();
    std::int64_t due = timer.Interval() - timer.Elapsed();
    std::int64_t passed = wait_->WaitAtMost(due);
    if (wait_->StopSignal() == 0)
        timer.Advance(std::min(passed, due));
}

void TPollingWatch::Search() {
    std::time_t started = std::time(nullptr);
    *err_ << TimeStampLine(started) << std::endl;
    searchRun_.timerFindJobTimer();
    // A stop gave up the fetch in progress: what the search has is no whole answer.
    if (wait_->StopSignal() != 0)
        return;
    AfterSearch(started);
}
