#pragma once

#include "watch/BoardAddress.h"
#include "watch/JobBoard.h"

#include <memory>
#include <string>

namespace watch {

class IPageFetcher;
class IWatchPanel;

// The control loop of the job watch: searches every complete keyword pair and drives the
// polling schedule through the panel's buttons, timer and window operations.
//
// State of the panel it keeps:
//   idle       btnGo enabled,  btnStopGo disabled, timer disabled, window shown
//   polling    btnGo disabled, btnStopGo enabled,  timer enabled,  window in the tray
//   searching  buttons unchanged, timer disabled (inside a tick or a search-now)
// The owner of the panel connects the button clicks and the timer's tick to the handlers.
class TSearchRun {
public:
    // `panel` and `fetcher` are borrowed and must outlive the search run. Every search goes
    // to the classic board at `boardHost` (HOST or HOST:PORT).
    TSearchRun(IWatchPanel& panel, IPageFetcher& fetcher, std::string boardHost);
    // Every search goes to `board`.
    TSearchRun(IWatchPanel& panel, IPageFetcher& fetcher, const TBoardAddress& board);

    // A pair is complete when its company and position keywords are non-empty once trimmed.
    bool AnyPairComplete() const;
    // Searches every complete pair once, in order, appending to memoResult.
    void RunAllPairs();

    // Starts polling: the first search runs one full interval later.
    void btnGoClick();
    // One poll; something found ends polling and brings the window back.
    void timerFindJobTimer();
    // Ends any polling and searches at once.
    void btnRightNowClick();
    // Ends polling.
    void btnStopGoClick();

    // The pair being searched (or last searched), trimmed.
    const std::string& CurrentCompany() const { return current_.Company; }
    const std::string& CurrentPosition() const { return current_.Position; }

private:
    bool PairComplete(int pair) const;
    void SetIntervalFromChoice();
    void ShowNoPairMessage();
    void EnterIdle();

    IWatchPanel* panel_;
    std::unique_ptr<IJobBoard> board_;
    TPairSearch current_;
};

} // namespace watch
