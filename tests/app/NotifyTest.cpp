#include "NotifyTest.h"

#include "NotificationServer.h"
#include "WindowFixture.h"
#include "app/Messages.h"
#include "app/NotifyIcon.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

std::string TwoJavaRows(const std::string&) {
    std::string rows;
    for (char id : {'1', '2'})
        rows += std::string("<tr><td class=\"td1\"><a href=\"http://board.test/job/") + id +
                ".html\" target=\"_blank\" >Java</a></td><td class=\"td2\">x</td></tr>";
    return "<div class=\"resultListDiv\"><table><tr><th>x</th></tr>" + rows +
           "</table></div><div class=\"bt_center clearboth\">";
}

// Starts polling with a complete pair and lets the first tick come at once; it finds two
// rows, and the window comes back.
void PollUntilFound(WindowFixture& fixture) {
    TfrmVantaro& window = *fixture.window;
    window.show();
    fixture.Find<QLineEdit>("editComName")->setText(QString::fromUtf8("青禾"));
    fixture.Find<QLineEdit>("editPosition")->setText(QStringLiteral("java"));
    QTest::mouseClick(fixture.Find<QPushButton>("btnGo"), Qt::LeftButton);
    fixture.Find<QTimer>("timerFindJob")->setInterval(10);
    QTRY_VERIFY(window.isVisible() && !window.isMinimized());
}

} // namespace

NotifyTest::NotifyTest() = default;
NotifyTest::~NotifyTest() = default;

void NotifyTest::initTestCase() {
    bus_.start(QStringLiteral("dbus-daemon"),
               {QStringLiteral("--session"), QStringLiteral("--nofork"),
                QStringLiteral("--print-address=1")});
    QVERIFY2(bus_.waitForStarted(), "dbus-daemon does not start");
    QString address;
    while (address.isEmpty() && bus_.waitForReadyRead(5000))
        address = QString::fromUtf8(bus_.readLine()).trimmed();
    QVERIFY2(!address.isEmpty(), "dbus-daemon gives no address");
    // Before anything in the process asks for the session bus.
    qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
    server_ = std::make_unique<NotificationServer>(address);
}

void NotifyTest::cleanupTestCase() {
    server_.reset();
    bus_.terminate();
    bus_.waitForFinished();
}

void NotifyTest::aFindIsToldThroughTheDesktopOnlyWithoutATray_data() {
    QTest::addColumn<bool>("trayAvailable");
    QTest::addColumn<int>("notifications");
    QTest::newRow("no tray") << false << 1;
    QTest::newRow("a tray") << true << 0;
}

void NotifyTest::aFindIsToldThroughTheDesktopOnlyWithoutATray() {
    QFETCH(bool, trayAvailable);
    QFETCH(int, notifications);
    server_->Received.clear();
    WindowFixture fixture(TwoJavaRows, QUrl(), trayAvailable);
    PollUntilFound(fixture);
    QCOMPARE(fixture.window->NotifyIcon().IconShown(), trayAvailable);
    // The service answers on the bus; give a notification that should not come its time.
    QTest::qWait(300);
    QCOMPARE(server_->Received.size(), notifications);
    if (notifications == 0)
        return;
    const NotificationServer::Notification& told = server_->Received.front();
    QCOMPARE(told.AppName, QStringLiteral("tallowfinch"));
    QCOMPARE(told.Summary, QString::fromLatin1(kApplicationTitle));
    QCOMPARE(told.Body, QString::fromUtf8("找到 2 个职位"));
    QVERIFY(told.Actions.contains(QStringLiteral("default")));
    QCOMPARE(told.Hints.value(QStringLiteral("desktop-entry")).toString(),
             QStringLiteral("tallowfinch"));
}

void NotifyTest::activatingTheNotificationRaisesTheWindow_data() {
    QTest::addColumn<bool>("sameNotification");
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("raised");
    QTest::newRow("a click on it") << true << QStringLiteral("default") << true;
    QTest::newRow("another action") << true << QStringLiteral("dismiss") << false;
    QTest::newRow("another notification") << false << QStringLiteral("default") << false;
}

void NotifyTest::activatingTheNotificationRaisesTheWindow() {
    QFETCH(bool, sameNotification);
    QFETCH(QString, action);
    QFETCH(bool, raised);
    server_->Received.clear();
    WindowFixture fixture(TwoJavaRows, QUrl(), false);
    PollUntilFound(fixture);
    TfrmVantaro& window = *fixture.window;
    QTRY_COMPARE(server_->Received.size(), 1);
    // The id the service gave it, as the window learnt it.
    const uint id = 41;
    // Lets the service's answer with the id reach the window.
    QTest::qWait(500);
    window.showMinimized();
    QVERIFY(window.isMinimized());
    server_->InvokeAction(sameNotification ? id : id + 7, action);
    if (raised) {
        QTRY_VERIFY(!window.isMinimized());
        QVERIFY(window.isVisible());
    } else {
        QTest::qWait(300);
        QVERIFY(window.isMinimized());
    }
}
