#include "watch/SearchRun.h"

#include "watch/GbkText.h"
#include "watch/MarkerText.h"
#include "watch/QueryBuilder.h"
#include "watch/WatchChoices.h"
#include "watch/WatchPanel.h"

#include <utility>

namespace watch {

TSearchRun::TSearchRun(IWatchPanel& panel, IPageFetcher& fetcher, std::string boardHost)
    : panel_(&panel), scraper_(fetcher, panel), boardHost_(std::move(boardHost)) {}

bool TSearchRun::PairComplete(int pair) const {
    return !Trim(panel_->editComName(pair).Text()).empty() &&
           !Trim(panel_->editPosition(pair).Text()).empty();
}

bool TSearchRun::AnyPairComplete() const {
    for (int pair = 1; pair <= IWatchPanel::PairCount; ++pair) {
        if (PairComplete(pair))
            return true;
    }
    return false;
}

void TSearchRun::RunAllPairs() {
    for (int pair = 1; pair <= IWatchPanel::PairCount; ++pair) {
        if (!PairComplete(pair))
            continue;
        scraper_.CurrentCompany = Trim(panel_->editComName(pair).Text());
        scraper_.CurrentPosition = Trim(panel_->editPosition(pair).Text());
        SearchCompany(scraper_, boardHost_, scraper_.CurrentCompany, panel_->comboCity().Text(),
                      panel_->comboPubDate().Text(), panel_->memoResult(), panel_->memoFilter());
    }
}

void TSearchRun::btnGoClick() {
    if (!AnyPairComplete()) {
        ShowNoPairMessage();
        return;
    }
    SetIntervalFromChoice();
    panel_->btnGo().SetEnabled(false);
    panel_->btnStopGo().SetEnabled(true);
    panel_->HideToTray();
    panel_->timerFindJob().SetEnabled(true);
}

void TSearchRun::timerFindJobTimer() {
    panel_->timerFindJob().SetEnabled(false);
    panel_->memoResult().Clear();
    if (!AnyPairComplete()) {
        ShowNoPairMessage();
        return;
    }
    RunAllPairs();
    if (Trim(panel_->memoResult().Text()).empty()) {
        panel_->timerFindJob().SetEnabled(true);
        return;
    }
    EnterIdle();
    panel_->RestoreFromTray();
}

void TSearchRun::btnRightNowClick() {
    panel_->memoResult().Clear();
    if (!AnyPairComplete()) {
        ShowNoPairMessage();
        return;
    }
    EnterIdle();
    RunAllPairs();
}

void TSearchRun::btnStopGoClick() {
    EnterIdle();
}

// A hand-typed interval selects no item and keeps the interval the timer has.
void TSearchRun::SetIntervalFromChoice() {
    const auto& table = IntervalTable();
    int index = panel_->comboSearchTime().ItemIndex();
    if (index >= 0 && index < static_cast<int>(table.size()))
        panel_->timerFindJob().SetInterval(table[index].Milliseconds);
}

void TSearchRun::ShowNoPairMessage() {
    panel_->ShowMessage(Gbk("请至少输入一组公司名、职位名关键字！"));
}

void TSearchRun::EnterIdle() {
    panel_->timerFindJob().SetEnabled(false);
    panel_->btnGo().SetEnabled(true);
    panel_->btnStopGo().SetEnabled(false);
}

} // namespace watch
