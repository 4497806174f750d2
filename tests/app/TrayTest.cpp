#include "TrayTest.h"

#include "MessageBoxCatcher.h"
#include "MessageBoxShowWatch.h"
#include "WindowFixture.h"
#include "app/NotifyIcon.h"
#include "watch/GbkText.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <optional>

namespace {

// Records what the window does: show, hide, and each change of its state with whether it
// was on screen then.
class WindowEvents : public QObject {
public:
    explicit WindowEvents(QWidget* window) : window_(window) { window->installEventFilter(this); }

    QStringList Seen() const { return seen_; }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        // What the platform reports back comes later and is not the window's own doing.
        if (event->spontaneous())
            return false;
        if (event->type() == QEvent::Show)
            seen_ << QStringLiteral("show");
        else if (event->type() == QEvent::Hide)
            seen_ << QStringLiteral("hide");
        else if (event->type() == QEvent::WindowStateChange)
            seen_ << QStringLiteral("%1 %2")
                         .arg(window_->isMinimized() ? QStringLiteral("minimised")
                                                     : QStringLiteral("normal"))
                         .arg(window_->isVisible() ? QStringLiteral("on screen")
                                                   : QStringLiteral("hidden"));
        return false;
    }

private:
    QWidget* window_;
    QStringList seen_;
};

std::string TwoJavaRows(const std::string&) {
    std::string row = "<tr><td class=\"td1\"><a href=\"http://board.test/job/%.html\" "
                      "target=\"_blank\" >Java</a></td><td class=\"td2\">x</td></tr>";
    std::string rows;
    for (char id : {'1', '2'}) {
        std::string one = row;
        one[one.find('%')] = id;
        rows += one;
    }
    return "<div class=\"resultListDiv\"><table><tr><th>x</th></tr>" + rows +
           "</table></div><div class=\"bt_center clearboth\">";
}

// Shows the window and makes it active, as the window manager does with a window that
// asks for the focus.
void ShowActive(TfrmVantaro& window) {
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

void Minimise(TfrmVantaro& window) {
    // What the window manager does when the user presses the minimise button.
    window.setWindowState(window.windowState() | Qt::WindowMinimized);
}

void ClickIcon(TfrmVantaro& window) {
    emit window.NotifyIcon().Icon()->activated(QSystemTrayIcon::Trigger);
}

void EnterPair(WindowFixture& fixture) {
    fixture.Find<QLineEdit>("editComName")->setText(QString::fromUtf8("青禾"));
    fixture.Find<QLineEdit>("editPosition")->setText(QStringLiteral("java"));
}

} // namespace

void TrayTest::minimisingHidesWithoutShowingTheWindowAgain() {
    WindowFixture fixture;
    TfrmVantaro& window = *fixture.window;
    window.show();
    WindowEvents events(&window);
    Minimise(window);
    QTRY_VERIFY(!window.isVisible());
    QTest::qWait(20);
    QCOMPARE(events.Seen(),
             QStringList({QStringLiteral("minimised on screen"), QStringLiteral("hide")}));
    QVERIFY(window.NotifyIcon().IconShown());

    ClickIcon(window);
    QVERIFY(window.isVisible());
    QVERIFY(!window.isMinimized());
}

void TrayTest::theTrayIsLookedForAtEachHide() {
    WindowFixture fixture(WindowFixture::FailingNetwork, QUrl(), false);
    TfrmVantaro& window = *fixture.window;
    window.show();

    // No tray yet: the window stays minimised, where the task bar shows it.
    Minimise(window);
    QTest::qWait(20);
    QVERIFY(window.isVisible());
    QVERIFY(window.isMinimized());
    QVERIFY(!window.NotifyIcon().IconShown());
    window.showNormal();

    // A panel with a tray has started since.
    fixture.trayPresent = true;
    Minimise(window);
    QTRY_VERIFY(!window.isVisible());
    QVERIFY(window.NotifyIcon().IconShown());
    ClickIcon(window);
    QVERIFY(window.isVisible());

    // The panel has quit: starting to poll minimises instead of hiding for good.
    fixture.trayPresent = false;
    EnterPair(fixture);
    QTest::mouseClick(fixture.Find<QPushButton>("btnGo"), Qt::LeftButton);
    QVERIFY(window.isVisible());
    QVERIFY(window.isMinimized());
    QVERIFY(!window.NotifyIcon().IconShown());
    QVERIFY(fixture.Find<QTimer>("timerFindJob")->isActive());
}

void TrayTest::aWindowInATrayThatGoesAwayIsMinimised() {
    WindowFixture fixture;
    TfrmVantaro& window = *fixture.window;
    window.show();
    Minimise(window);
    QTRY_VERIFY(!window.isVisible());
    fixture.trayPresent = false;
    QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), 3 * TNotifyIcon::TrayLookMilliseconds);
    QVERIFY(window.isMinimized());
    QVERIFY(!window.NotifyIcon().IconShown());
}

void TrayTest::aFindIsToldBesideTheIcon() {
    WindowFixture fixture(TwoJavaRows);
    TfrmVantaro& window = *fixture.window;
    window.show();
    EnterPair(fixture);
    QTest::mouseClick(fixture.Find<QPushButton>("btnGo"), Qt::LeftButton);
    QVERIFY(!window.isVisible());
    fixture.Find<QTimer>("timerFindJob")->setInterval(10);
    QTRY_VERIFY(window.isVisible());
    QVERIFY(window.NotifyIcon().IconShown());
    QCOMPARE(fixture.Find<QPlainTextEdit>("memoResult")->document()->blockCount(), 8);
    // The window is back for good: a tray that goes now does not minimise it.
    fixture.trayPresent = false;
    QTest::qWait(TNotifyIcon::TrayLookMilliseconds * 3 / 2);
    QVERIFY(!window.isMinimized());
    fixture.trayPresent = true;

    // A search at once is no poll: nothing is told, and the icon does not come.
    ClickIcon(window);
    QVERIFY(!window.NotifyIcon().IconShown());
    QTest::mouseClick(fixture.Find<QPushButton>("btnRightNow"), Qt::LeftButton);
    QCOMPARE(fixture.fetchedUrls.size(), size_t(2));
    QVERIFY(!window.NotifyIcon().IconShown());
    QVERIFY(window.isVisible());
}

void TrayTest::aFindWithoutATrayOnlyBringsTheWindowBack() {
    WindowFixture fixture(TwoJavaRows, QUrl(), false);
    TfrmVantaro& window = *fixture.window;
    window.show();
    EnterPair(fixture);
    QTest::mouseClick(fixture.Find<QPushButton>("btnGo"), Qt::LeftButton);
    QVERIFY(window.isMinimized());
    fixture.Find<QTimer>("timerFindJob")->setInterval(10);
    QTRY_VERIFY(!window.isMinimized());
    QVERIFY(window.isVisible());
    QVERIFY(!window.NotifyIcon().IconShown());
}

void TrayTest::theFocusComesBackWhereItWasBeforeMinimising() {
    WindowFixture fixture;
    TfrmVantaro& window = *fixture.window;
    ShowActive(window);
    auto* field = fixture.Find<QLineEdit>("editComName2");
    QTest::mouseClick(field, Qt::LeftButton);
    QTest::keyClicks(field, "Larkspur");
    QTest::keyClick(field, Qt::Key_Left);
    Minimise(window);
    QTRY_VERIFY(!window.isVisible());
    ClickIcon(window);
    ShowActive(window);
    QCOMPARE(QApplication::focusWidget(), field);
    QVERIFY(!field->hasSelectedText());
    QCOMPARE(field->cursorPosition(), 7);
}

void TrayTest::theFocusComesBackToTheStartButtonAfterPolling() {
    WindowFixture fixture(TwoJavaRows);
    TfrmVantaro& window = *fixture.window;
    ShowActive(window);
    EnterPair(fixture);
    auto* go = fixture.Find<QPushButton>("btnGo");
    QLineEdit* interval = fixture.Find<QComboBox>("comboSearchTime")->lineEdit();
    QTest::mouseClick(go, Qt::LeftButton);
    QVERIFY(!window.isVisible());

    // Back while polling: the start button is off, so the first control of the tab order
    // has the focus, and no field has taken it with its text selected.
    ClickIcon(window);
    ShowActive(window);
    QCOMPARE(QApplication::focusWidget(), fixture.Find<QPlainTextEdit>("memoResult"));
    QVERIFY(!interval->hasSelectedText());
    QTest::keyClicks(QApplication::focusWidget(), "3");
    QCOMPARE(interval->text(), QString::fromUtf8("半小时"));

    // Back with finds: the focus is on the start button again.
    Minimise(window);
    QTRY_VERIFY(!window.isVisible());
    fixture.Find<QTimer>("timerFindJob")->setInterval(10);
    QTRY_VERIFY(window.isVisible());
    ShowActive(window);
    QCOMPARE(QApplication::focusWidget(), go);
}

void TrayTest::theFocusIsHeldOnlyForTheLastButtonThatHadIt() {
    WindowFixture fixture;
    TfrmVantaro& window = *fixture.window;
    ShowActive(window);
    EnterPair(fixture);
    auto* go = fixture.Find<QPushButton>("btnGo");
    auto* stop = fixture.Find<QPushButton>("btnStopGo");
    // No control has the focus while the window holds it for a disabled button.
    QWidget* heldByTheWindow = &window;
    QTest::mouseClick(go, Qt::LeftButton);
    ClickIcon(window);
    ShowActive(window);
    QTest::mouseClick(stop, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), heldByTheWindow);

    // Started again: the stop button comes on, but the focus was the start button's; while
    // that is off, the first control of the tab order has it.
    QTest::mouseClick(go, Qt::LeftButton);
    ClickIcon(window);
    ShowActive(window);
    QVERIFY(stop->isEnabled());
    QCOMPARE(QApplication::focusWidget(), fixture.Find<QPlainTextEdit>("memoResult"));
    QTest::mouseClick(stop, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), heldByTheWindow);
}

void TrayTest::aRestoreWhilePollingLendsTheFocusToTheFirstEnabledControl_data() {
    QTest::addColumn<bool>("byKeyboard");
    QTest::newRow("started with the mouse") << false;
    QTest::newRow("started with the space bar") << true;
}

void TrayTest::aRestoreWhilePollingLendsTheFocusToTheFirstEnabledControl() {
    QFETCH(bool, byKeyboard);
    WindowFixture fixture;
    TfrmVantaro& window = *fixture.window;
    ShowActive(window);
    EnterPair(fixture);
    auto* result = fixture.Find<QPlainTextEdit>("memoResult");
    result->setPlainText(QStringLiteral("kept"));
    auto* go = fixture.Find<QPushButton>("btnGo");
    if (byKeyboard) {
        go->setFocus(Qt::TabFocusReason);
        QTest::keyClick(go, Qt::Key_Space);
    } else {
        QTest::mouseClick(go, Qt::LeftButton);
    }
    QVERIFY(!window.isVisible());
    QVERIFY(!go->isEnabled());

    ClickIcon(window);
    ShowActive(window);
    QCOMPARE(QApplication::focusWidget(), result);
    QVERIFY(!result->textCursor().hasSelection());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
    QTest::keyClicks(QApplication::focusWidget(), "!");
    QCOMPARE(result->toPlainText(), QStringLiteral("kept!"));
}

void TrayTest::aFetchShowsTheWaitCursor() {
    std::vector<std::optional<Qt::CursorShape>> duringFetch;
    auto cursorNow = [] {
        QCursor* cursor = QApplication::overrideCursor();
        return cursor ? std::optional(cursor->shape()) : std::nullopt;
    };
    WindowFixture fixture([&](const std::string& url) -> std::string {
        duringFetch.push_back(cursorNow());
        if (duringFetch.size() == 1)
            return WindowFixture::FailingNetwork(url);
        return TwoJavaRows(url);
    });
    fixture.window->show();
    EnterPair(fixture);
    fixture.Find<QLineEdit>("editComName2")->setText(QStringLiteral("Larkspur"));
    fixture.Find<QLineEdit>("editPosition2")->setText(QStringLiteral("*"));

    // The failed fetch's message box comes with the ordinary cursor.
    std::vector<std::optional<Qt::CursorShape>> duringBox;
    MessageBoxShowWatch boxWatch([&] { duringBox.push_back(cursorNow()); });
    MessageBoxCatcher boxes;
    QTest::mouseClick(fixture.Find<QPushButton>("btnRightNow"), Qt::LeftButton);
    QCOMPARE(boxes.Boxes().size(), size_t(1));
    QCOMPARE(duringFetch.size(), size_t(2));
    for (const auto& shape : duringFetch)
        QCOMPARE(shape, std::optional(Qt::WaitCursor));
    QCOMPARE(duringBox.size(), size_t(1));
    QCOMPARE(duringBox[0], std::optional<Qt::CursorShape>());
    QCOMPARE(cursorNow(), std::optional<Qt::CursorShape>());
}
