#pragma once

#include "watch/MemoryEnabledFlag.h"
#include "watch/MemoryLineList.h"
#include "watch/MemorySelector.h"
#include "watch/MemoryTextField.h"
#include "watch/MemoryTimer.h"
#include "watch/TextLineList.h"
#include "watch/WatchPanel.h"

#include <array>
#include <vector>

namespace watch {

// The watch panel held as plain state, for tests and the headless tool. The window
// operations and message boxes are recorded instead of shown.
class TMemoryWatchPanel : public IWatchPanel {
public:
    TMemoryWatchPanel();

    TMemoryTextField& editComName(int pair) override;
    TMemoryTextField& editPosition(int pair) override;

    TMemorySelector& comboSearchTime() override { return comboSearchTime_; }
    TMemorySelector& comboCity() override { return comboCity_; }
    TMemorySelector& comboPubDate() override { return comboPubDate_; }

    TMemoryLineList& memoResult() override { return memoResult_; }
    TTextLineList& memoFilter() override { return memoFilter_; }

    TMemoryEnabledFlag& btnGo() override { return btnGo_; }
    TMemoryEnabledFlag& btnStopGo() override { return btnStopGo_; }

    TMemoryTimer& timerFindJob() override { return timerFindJob_; }

    void HideToTray() override;
    void RestoreFromTray() override;
    void ShowMessage(const std::string& text) override { Messages.push_back(text); }

    // Whether the window is hidden in the tray (it starts shown).
    bool InTray = false;
    int HideToTrayCalls = 0;
    int RestoreFromTrayCalls = 0;
    // Texts of the message boxes, in the order shown.
    std::vector<std::string> Messages;

private:
    std::array<TMemoryTextField, PairCount> editComName_;
    std::array<TMemoryTextField, PairCount> editPosition_;
    TMemorySelector comboSearchTime_;
    TMemorySelector comboCity_;
    TMemorySelector comboPubDate_;
    TMemoryLineList memoResult_;
    // Held as one text: an exclusion file of millions of lines costs its bytes.
    TTextLineList memoFilter_;
    TMemoryEnabledFlag btnGo_{true};
    TMemoryEnabledFlag btnStopGo_{false};
    TMemoryTimer timerFindJob_;
};

} // namespace watch
