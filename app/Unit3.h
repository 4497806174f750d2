#pragma once

#include "app/QtEnabledFlag.h"
#include "app/QtLineList.h"
#include "app/QtSelector.h"
#include "app/QtTextField.h"
#include "app/QtTimer.h"
#include "app/WindowSetup.h"
#include "watch/BoardAddress.h"
#include "watch/PageFetcher.h"
#include "watch/WatchPanel.h"

#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QWebEngineView;
class TNotifyIcon;
class TWaitCursorFetcher;

namespace watch {
class TSearchRun;
}

// The program's one window.  Its controls are the watch panel; its buttons and timer drive
// the search run; it hides in the tray while polling; its lower left shows the announcement
// page.  Every handler runs inside the default error display.
class TfrmVantaro : public QWidget, public watch::IWatchPanel {
    Q_OBJECT

public:
    TfrmVantaro(TWindowSetup setup, std::unique_ptr<watch::IPageFetcher> httpFindJob);
    ~TfrmVantaro() override;

    // The watch panel.
    watch::ITextField& editComName(int pair) override;
    watch::ITextField& editPosition(int pair) override;
    watch::ISelector& comboSearchTime() override { return *comboSearchTimeSelector_; }
    watch::ISelector& comboCity() override { return *comboCitySelector_; }
    watch::ISelector& comboPubDate() override { return *comboPubDateSelector_; }
    watch::ILineList& memoResult() override { return *memoResultLines_; }
    watch::ILineList& memoFilter() override { return *memoFilterLines_; }
    watch::IEnabledFlag& btnGo() override { return *btnGoFlag_; }
    watch::IEnabledFlag& btnStopGo() override { return *btnStopGoFlag_; }
    watch::IWatchTimer& timerFindJob() override { return *timerFindJobTimer_; }
    void HideToTray() override;
    void RestoreFromTray() override;
    void ShowMessage(const std::string& text) override;

    TNotifyIcon& NotifyIcon() { return *notifyIcon_; }
    // Text that lblSEM copies; empty until an announcement page sets it (GBK).
    const std::string& RecommendText() const { return recommendText_; }

    // Handlers of the announcement pane; the URL and the page text are GBK.  `byUserClick`
    // tells a navigation that the user started with a click in the pane.
    void WebBrowser1DocumentComplete(const std::string& pageText);
    void WebBrowser1BeforeNavigate2(const std::string& url, bool byUserClick, bool& Cancel);

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void CreateAutoStartGroup();
    void CreateSearchGroup();
    void CreateSearchLabels();
    void CreateAnnouncePane();
    void BindWatchPanel();
    void ConnectHandlers();
    void PlaceInScreenCentre();

    void PollTick();
    void FormCreate();
    void FormDestroy();
    void btnAutoStartClick();
    void btnSaveClick();
    void lblSEMClick();
    void OpenAnnouncedAddress(const std::string& address);
    watch::TBoardAddress BoardOfSetting();
    void Guarded(const std::function<void()>& handler);

    TWindowSetup setup_;
    std::unique_ptr<watch::IPageFetcher> httpFindJob_;
    // What the search run fetches through: httpFindJob under the wait cursor.
    std::unique_ptr<TWaitCursorFetcher> pageFetcher_;
    std::string recommendText_;
    // [Board] value as read at start, written back on save; the refusal of a text that
    // names no board, shown at start.
    std::string boardSetting_;
    std::string boardRefusal_;

    // The controls belong to their Qt parents (this window or a group box); these pointers
    // do not own them.
    QPlainTextEdit* memoResult_ = nullptr;
    QPushButton* btnAutoStart_ = nullptr;
    QGroupBox* groupSet_ = nullptr;
    QComboBox* comboCity_ = nullptr;
    QComboBox* comboPubDate_ = nullptr;
    QComboBox* comboSearchTime_ = nullptr;
    std::array<QLineEdit*, PairCount> editComName_{};
    std::array<QLineEdit*, PairCount> editPosition_{};
    QPushButton* btnGo_ = nullptr;
    QPushButton* btnStopGo_ = nullptr;
    QPushButton* btnSave_ = nullptr;
    QPushButton* btnRightNow_ = nullptr;
    QLabel* lblSEM_ = nullptr;
    QPlainTextEdit* memoFilter_ = nullptr;
    // Null where the web engine may not run.
    QWebEngineView* WebBrowser1_ = nullptr;
    QTimer* timerFindJob_ = nullptr;

    // The watch panel's view of the controls above.
    std::array<std::unique_ptr<TQtTextField>, PairCount> editComNameFields_;
    std::array<std::unique_ptr<TQtTextField>, PairCount> editPositionFields_;
    std::unique_ptr<TQtSelector> comboSearchTimeSelector_;
    std::unique_ptr<TQtSelector> comboCitySelector_;
    std::unique_ptr<TQtSelector> comboPubDateSelector_;
    std::unique_ptr<TQtLineList> memoResultLines_;
    std::unique_ptr<TQtLineList> memoFilterLines_;
    std::unique_ptr<TQtEnabledFlag> btnGoFlag_;
    std::unique_ptr<TQtEnabledFlag> btnStopGoFlag_;
    std::unique_ptr<TQtTimer> timerFindJobTimer_;

    std::unique_ptr<TNotifyIcon> notifyIcon_;
    // True while a polling tick runs: a restore then comes from a poll that found rows.
    bool pollTickRunning_ = false;
    std::unique_ptr<watch::TSearchRun> searchRun_;
};
