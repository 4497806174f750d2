#pragma once

#include "watch/EnabledFlag.h"
#include "watch/LineList.h"
#include "watch/Selector.h"
#include "watch/TextField.h"
#include "watch/WatchTimer.h"

#include <string>

namespace watch {

// The state behind the main window's controls that the job watch reads and writes, and the
// window operations it needs. Every accessor returns a control owned by the panel; the
// references stay valid for the panel's life. All text is GBK bytes.
//
// The selectors hold these items, in this order (see WatchChoices.h):
// comboSearchTime: SearchTimeItems(), comboCity: CityItems(), comboPubDate: PubDateItems().
//
// Initial state of a new panel: empty fields and panes, btnGo enabled, btnStopGo disabled,
// the timer disabled with an interval of 1000 ms.
class IWatchPanel {
public:
    static constexpr int PairCount = 5;

    virtual ~IWatchPanel() = default;

    // Company and position keyword of pair 1 to PairCount: editComName(1) is the control
    // editComName, editComName(2) is editComName2, and so on. Throws std::out_of_range
    // for any other pair number.
    virtual ITextField& editComName(int pair) = 0;
    virtual ITextField& editPosition(int pair) = 0;

    virtual ISelector& comboSearchTime() = 0;
    virtual ISelector& comboCity() = 0;
    virtual ISelector& comboPubDate() = 0;

    virtual ILineList& memoResult() = 0;
    virtual ILineList& memoFilter() = 0;

    virtual IEnabledFlag& btnGo() = 0;
    virtual IEnabledFlag& btnStopGo() = 0;

    virtual IWatchTimer& timerFindJob() = 0;

    // Take the window and its taskbar entry away and show the tray icon.
    virtual void HideToTray() = 0;
    // Remove the tray icon and show the window and its taskbar entry again.
    virtual void RestoreFromTray() = 0;
    // A modal message box; returns once the user has closed it.
    virtual void ShowMessage(const std::string& text) = 0;
};

} // namespace watch
