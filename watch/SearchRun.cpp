#include "watch/SearchRun.h"

#include "watch/AshbyBoard.h"
#include "watch/ClassicBoard.h"
#include "watch/GbkText.h"
#include "watch/GreenhouseBoard.h"
#include "watch/LeverBoard.h"
#include "watch/MarkerText.h"
#include "watch/WatchChoices.h"
#include "watch/WatchPanel.h"

#include <utility>

namespace watch {

namespace {

std::unique_ptr<IJobBoard> MakeBoard(const TBoardAddress& board, IPageFetcher& fetcher,
                                     IWatchPanel& panel) {
    switch (board.Kind) {
    case TBoardAddress::bkGreenhouse:
        return std::make_unique<TGreenhouseBoard>(fetcher, panel, board.Origin);
    case TBoardAddress::bkLever:
        return std::make_unique<TLeverBoard>(fetcher, panel, board.Origin);
    case TBoardAddress::bkAshby:
        return std::make_unique<TAshbyBoard>(fetcher, panel, board.Origin);
    case TBoardAddress::bkClassic:
        break;
    }
    return std::make_unique<TClassicBoard>(fetcher, panel, board.Origin);
}

} // namespace

TSearchRun::TSearchRun(IWatchPanel& panel, IPageFetcher& fetcher, std::string boardHost)
    : TSearchRun(panel, fetcher, TBoardAddress{TBoardAddress::bkClassic, "http://" + boardHost}) {}

TSearchRun::TSearchRun(IWatchPanel& panel, IPageFetcher& fetcher, const TBoardAddress& board)
    : panel_(&panel), board_(MakeBoard(board, fetcher, panel)) {}

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
        current_ = {Trim(panel_->editComName(pair).Text()), Trim(panel_->editPosition(pair).Text()),
                    panel_->comboCity().Text(), panel_->comboPubDate().Text()};
        board_->SearchPair(current_, panel_->memoResult(), panel_->memoFilter());
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
