#include "DesktopTest.h"

#include "FakeFetcher.h"
#include "WindowFixture.h"
#include "app/NotifyIcon.h"
#include "app/Unit3.h"
#include "app/WindowSetup.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

std::string TwoRows(const std::string&) {
    std::string rows;
    for (const char* id : {"1", "2"})
        rows += std::string("<tr><td class=\"td1\"><a href=\"http://board.test/job/") + id +
                ".html\" target=\"_blank\" >Java</a></td><td class=\"td2\">x</td></tr>";
    return "<div class=\"resultListDiv\"><table><tr><th>x</th></tr>" + rows +
           "</table></div><div class=\"bt_center clearboth\">";
}

// The top-level widget of the given class that is on screen, if any.
QWidget* ShownTopLevel(const char* className) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->inherits(className) && widget->isVisible())
            return widget;
    }
    return nullptr;
}

QStringList LabelTexts(QWidget* widget) {
    QStringList texts;
    for (QLabel* label : widget->findChildren<QLabel*>())
        texts << label->text();
    return texts;
}

} // namespace

void DesktopTest::initTestCase() {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs an X display");
    trayHost_ = QStandardPaths::findExecutable(QStringLiteral("trayer"));
    if (trayHost_.isEmpty())
        QSKIP("the tray host trayer is not installed");
    if (QSystemTrayIcon::isSystemTrayAvailable())
        QSKIP("needs a display without a tray host of its own");
}

void DesktopTest::cleanup() {
    StopTrayHost();
}

void DesktopTest::StartTrayHost() {
    trayHostProcess_.start(trayHost_, {QStringLiteral("--edge"), QStringLiteral("top"),
                                       QStringLiteral("--align"), QStringLiteral("right")});
    QVERIFY(trayHostProcess_.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 10000);
}

void DesktopTest::StopTrayHost() {
    if (trayHostProcess_.state() == QProcess::NotRunning)
        return;
    trayHostProcess_.terminate();
    QVERIFY(trayHostProcess_.waitForFinished());
    QTRY_VERIFY_WITH_TIMEOUT(!QSystemTrayIcon::isSystemTrayAvailable(), 10000);
}

void DesktopTest::theProgramFollowsATrayHostThatComesAndGoes() {
    QTemporaryDir folder;
    TWindowSetup setup = DefaultWindowSetup();
    setup.SettingsFile = folder.filePath(QStringLiteral("program.ini")).toStdString();
    setup.AnnounceUrl = QUrl();
    std::vector<std::string> fetched;
    TfrmVantaro window(setup, std::make_unique<FakeFetcher>(TwoRows, &fetched));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // No tray when the program starts: hiding leaves the window minimised.
    window.HideToTray();
    QVERIFY(window.isVisible());
    QVERIFY(window.isMinimized());
    window.showNormal();

    // The tray host starts later, as at log-in: the window goes there.
    StartTrayHost();
    window.findChild<QLineEdit*>(QStringLiteral("editComName"))->setText(QStringLiteral("x"));
    window.findChild<QLineEdit*>(QStringLiteral("editPosition"))->setText(QStringLiteral("java"));
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("btnGo")), Qt::LeftButton);
    QVERIFY(!window.isVisible());
    QTRY_VERIFY(ShownTopLevel("QSystemTrayIconSys"));

    // A find brings the window back and says so beside the icon.
    window.findChild<QTimer*>(QStringLiteral("timerFindJob"))->setInterval(10);
    QTRY_VERIFY(window.isVisible());
    QTRY_VERIFY(ShownTopLevel("QBalloonTip"));
    QVERIFY(LabelTexts(ShownTopLevel("QBalloonTip")).contains(QString::fromUtf8("找到 2 个职位")));
    emit window.NotifyIcon().Icon()->messageClicked();
    QTRY_VERIFY(!ShownTopLevel("QSystemTrayIconSys"));

    // The tray host quits while the window is in the tray: the window comes back minimised.
    window.HideToTray();
    QTRY_VERIFY(ShownTopLevel("QSystemTrayIconSys"));
    StopTrayHost();
    QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), 3 * TNotifyIcon::TrayLookMilliseconds);
    QVERIFY(window.isMinimized());
    window.showNormal();

    // With the tray host gone, starting to poll minimises, and the window stays reachable.
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("btnGo")), Qt::LeftButton);
    QVERIFY(window.isVisible());
    QVERIFY(window.isMinimized());
    QVERIFY(!window.NotifyIcon().IconShown());
}
