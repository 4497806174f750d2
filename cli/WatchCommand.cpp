#include "cli/WatchCommand.h"

#include "cli/ExitStatus.h"
#include "cli/PanelFiles.h"
#include "cli/ProxyOption.h"
#include "cli/SearchCommand.h"
#include "cli/StopAwareFetcher.h"
#include "cli/TickWait.h"
#include "cli/TimeStamp.h"
#include "fetcher/HttpPageFetcher.h"
#include "watch/MemoryWatchPanel.h"
#include "watch/SearchRun.h"

#include <algorithm>
#include <ostream>

namespace {

class TWatch {
public:
    // Everything passed in is borrowed for the watch's life.
    TWatch(const TSearchOptions& options, ITickWait& wait, std::ostream& out, std::ostream& err)
        : options_(&options), wait_(&wait), out_(&out), err_(&err),
          httpFetcher_(ProxiesOf(options.Proxy)),
          stopAwareFetcher_(httpFetcher_, wait),
          searchRun_(panel_, stopAwareFetcher_, BoardOf(options)) {
        LoadPanel(options, panel_);
        panel_.timerFindJob().OnTimer = [this] { Search(); };
    }

    int Run() {
        searchRun_.btnGoClick();
        if (!panel_.InTray) {
            PrintMessages(panel_, options_->Raw, *err_);
            return esNothingOrFailure;
        }
        Search();
        for (;;) {
            if (int signal = wait_->StopSignal())
                return 128 + signal;
            if (!panel_.InTray)
                return esSuccess;
            if (!panel_.timerFindJob().Enabled())
                return esNothingOrFailure;
            WaitForTick();
        }
    }

private:
    // Lets the panel's timer count the time that passes; it calls Search() when it is due.
    void WaitForTick() {
        watch::TMemoryTimer& timer = panel_.timerFindJob();
        std::int64_t due = timer.Interval() - timer.Elapsed();
        std::int64_t passed = wait_->WaitAtMost(due);
        if (wait_->StopSignal() == 0)
            timer.Advance(std::min(passed, due));
    }

    void Search() {
        *err_ << TimeStampLine() << std::endl;
        searchRun_.timerFindJobTimer();
        // A stop gave up the fetch in progress: what the search has is no whole answer.
        if (wait_->StopSignal() != 0)
            return;
        PrintFinds(panel_, options_->Raw, *out_);
        PrintMessages(panel_, options_->Raw, *err_);
    }

    const TSearchOptions* options_;
    ITickWait* wait_;
    std::ostream* out_;
    std::ostream* err_;
    watch::TMemoryWatchPanel panel_;
    THttpPageFetcher httpFetcher_;
    TStopAwareFetcher stopAwareFetcher_;
    watch::TSearchRun searchRun_;
};

} // namespace

int RunWatch(const TSearchOptions& options, ITickWait& wait, std::ostream& out, std::ostream& err) {
    return TWatch(options, wait, out, err).Run();
}
