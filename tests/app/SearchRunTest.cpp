#include "SearchRunTest.h"

#include "MessageBoxCatcher.h"
#include "WindowFixture.h"
#include "app/NotifyIcon.h"
#include "watch/GbkText.h"

#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// A result page with one row, a Java post of the company.
std::string OneJavaRow(const std::string&) {
    return watch::Gbk("<div class=\"resultListDiv\"><table><tr><th>职位</th></tr><tr>"
                      "<td class=\"td1\"><a href=\"http://board.test/job/1.html\" "
                      "target=\"_blank\" >Java开发工程师</a></td><td class=\"td2\">青禾软件"
                      "</td></tr></table></div><div class=\"bt_center clearboth\">");
}

std::string NoRows(const std::string&) {
    return "<div class=\"resultListDiv\"><table><tr><th>x</th></tr></table></div>"
           "<div class=\"bt_center clearboth\">";
}

void EnterPair(WindowFixture& fixture, const char* company, const char* position) {
    fixture.Find<QLineEdit>("editComName")->setText(QString::fromUtf8(company));
    fixture.Find<QLineEdit>("editPosition")->setText(QString::fromUtf8(position));
}

// Shows the window with pair 1 complete and presses the start button.
void StartPolling(WindowFixture& fixture) {
    fixture.window->show();
    EnterPair(fixture, "青禾", "java");
    QTest::mouseClick(fixture.Find<QPushButton>("btnGo"), Qt::LeftButton);
}

const QString kNoPairMessage = QString::fromUtf8("请至少输入一组公司名、职位名关键字！");

} // namespace

void SearchRunTest::startingHidesToTrayAndAFindBringsTheWindowBack() {
    WindowFixture fixture(OneJavaRow);
    TfrmVantaro& window = *fixture.window;
    auto* timer = fixture.Find<QTimer>("timerFindJob");
    StartPolling(fixture);
    QVERIFY(!window.isVisible());
    QVERIFY(window.NotifyIcon().IconShown());
    QVERIFY(!fixture.Find<QPushButton>("btnGo")->isEnabled());
    QVERIFY(fixture.Find<QPushButton>("btnStopGo")->isEnabled());
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 1800000);
    QVERIFY(fixture.fetchedUrls.empty());

    timer->setInterval(10);
    QTRY_VERIFY(window.isVisible());
    QCOMPARE(fixture.Find<QPlainTextEdit>("memoResult")->toPlainText(),
             QString::fromUtf8("青禾\nJava开发工程师\nhttp://board.test/job/1.html\n===== ====="));
    QVERIFY(!timer->isActive());
    QVERIFY(fixture.Find<QPushButton>("btnGo")->isEnabled());
    QVERIFY(!fixture.Find<QPushButton>("btnStopGo")->isEnabled());
    // The icon stays while it tells of the finds, and goes with its message.
    QVERIFY(window.NotifyIcon().IconShown());
    emit window.NotifyIcon().Icon()->messageClicked();
    QVERIFY(!window.NotifyIcon().IconShown());
    QVERIFY(window.isVisible());
}

void SearchRunTest::aTickWithoutFindsPollsOnFromTheTray() {
    WindowFixture fixture(NoRows);
    TfrmVantaro& window = *fixture.window;
    auto* timer = fixture.Find<QTimer>("timerFindJob");
    StartPolling(fixture);
    timer->setInterval(10);
    QTRY_VERIFY(fixture.fetchedUrls.size() >= 2);
    QVERIFY(timer->isActive());
    QVERIFY(!window.isVisible());
    QVERIFY(window.NotifyIcon().IconShown());
}

void SearchRunTest::stopAndSearchNowSetTheButtonsRight() {
    WindowFixture fixture(OneJavaRow);
    TfrmVantaro& window = *fixture.window;
    window.show();
    EnterPair(fixture, "青禾", "java");
    auto* go = fixture.Find<QPushButton>("btnGo");
    auto* stop = fixture.Find<QPushButton>("btnStopGo");
    auto* timer = fixture.Find<QTimer>("timerFindJob");

    QTest::mouseClick(go, Qt::LeftButton);
    window.RestoreFromTray();
    QTest::mouseClick(stop, Qt::LeftButton);
    QVERIFY(go->isEnabled());
    QVERIFY(!stop->isEnabled());
    QVERIFY(!timer->isActive());

    QTest::mouseClick(go, Qt::LeftButton);
    window.RestoreFromTray();
    QTest::mouseClick(fixture.Find<QPushButton>("btnRightNow"), Qt::LeftButton);
    QVERIFY(go->isEnabled());
    QVERIFY(!stop->isEnabled());
    QVERIFY(!timer->isActive());
    QVERIFY(window.isVisible());
    QCOMPARE(fixture.fetchedUrls.size(), size_t(1));
    QCOMPARE(fixture.Find<QPlainTextEdit>("memoResult")->document()->blockCount(), 4);
}

void SearchRunTest::withoutACompletePairTheButtonsOnlyShowTheMessage() {
    WindowFixture fixture(OneJavaRow);
    TfrmVantaro& window = *fixture.window;
    window.show();
    fixture.Find<QLineEdit>("editComName")->setText(QStringLiteral("Larkspur"));
    fixture.Find<QLineEdit>("editPosition2")->setText(QStringLiteral("java"));
    fixture.Find<QPlainTextEdit>("memoResult")->setPlainText(QStringLiteral("old rows"));
    MessageBoxCatcher boxes;

    QTest::mouseClick(fixture.Find<QPushButton>("btnGo"), Qt::LeftButton);
    QVERIFY(window.isVisible());
    QVERIFY(!fixture.Find<QTimer>("timerFindJob")->isActive());
    QVERIFY(fixture.Find<QPushButton>("btnGo")->isEnabled());
    QCOMPARE(fixture.Find<QPlainTextEdit>("memoResult")->toPlainText(), QStringLiteral("old rows"));

    QTest::mouseClick(fixture.Find<QPushButton>("btnRightNow"), Qt::LeftButton);
    QVERIFY(fixture.Find<QPlainTextEdit>("memoResult")->toPlainText().isEmpty());
    QCOMPARE(boxes.Texts(), QStringList({kNoPairMessage, kNoPairMessage}));
    QCOMPARE(boxes.Boxes().front().title, QStringLiteral("Quorvel"));
    QCOMPARE(boxes.Boxes().front().icon, QMessageBox::NoIcon);
    QVERIFY(fixture.fetchedUrls.empty());
}

void SearchRunTest::aFailedFetchShowsTheNetworkMessage() {
    WindowFixture fixture;
    fixture.window->show();
    EnterPair(fixture, "青禾", "java");
    fixture.Find<QLineEdit>("editComName3")->setText(QStringLiteral("Larkspur"));
    fixture.Find<QLineEdit>("editPosition3")->setText(QStringLiteral("*"));
    MessageBoxCatcher boxes;
    QTest::mouseClick(fixture.Find<QPushButton>("btnRightNow"), Qt::LeftButton);
    const QString networkMessage = QString::fromUtf8("出现网络问题！请检查您的网络连接情况。");
    QCOMPARE(boxes.Texts(), QStringList({networkMessage, networkMessage}));
}

// Typing into a selector, even an item's exact text, leaves no item selected; the search
// then keeps its previous interval.
void SearchRunTest::typedSelectorTextLeavesNoItemSelected() {
    WindowFixture fixture(NoRows);
    fixture.window->show();
    EnterPair(fixture, "青禾", "java");
    auto* interval = fixture.Find<QComboBox>("comboSearchTime");
    interval->lineEdit()->selectAll();
    // Chinese arrives from the input method as one committed string.
    QInputMethodEvent typed;
    typed.setCommitString(QString::fromUtf8("1小时"));
    QApplication::sendEvent(interval->lineEdit(), &typed);
    QCOMPARE(interval->currentIndex(), -1);
    QCOMPARE(interval->currentText(), QString::fromUtf8("1小时"));
    QCOMPARE(fixture.window->comboSearchTime().ItemIndex(), -1);

    QTest::mouseClick(fixture.Find<QPushButton>("btnGo"), Qt::LeftButton);
    QCOMPARE(fixture.Find<QTimer>("timerFindJob")->interval(), 1000);

    fixture.window->comboSearchTime().SetItemIndex(5);
    QCOMPARE(interval->currentText(), QString::fromUtf8("2分钟(仅供测试)"));
    fixture.window->comboSearchTime().SetItemIndex(-1);
    QCOMPARE(interval->currentText(), QString());
}

// Setting the interval or the flag it already has keeps the countdown going; a different
// interval starts it again.
void SearchRunTest::timerRestartsOnlyOnARealChange() {
    WindowFixture fixture;
    watch::IWatchTimer& timer = fixture.window->timerFindJob();
    auto* qtimer = fixture.Find<QTimer>("timerFindJob");
    // Without the slack of a coarse timer, the remaining time tells a restart.
    qtimer->setTimerType(Qt::PreciseTimer);
    timer.SetInterval(10000);
    timer.SetEnabled(true);
    QTest::qWait(60);
    timer.SetInterval(10000);
    timer.SetEnabled(true);
    QVERIFY(qtimer->remainingTime() <= 9950);
    timer.SetInterval(20000);
    QVERIFY(qtimer->remainingTime() > 19950);
    timer.SetEnabled(false);
    QVERIFY(!qtimer->isActive());
    QCOMPARE(timer.Interval(), 20000);
}
