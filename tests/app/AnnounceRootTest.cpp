#include "AnnounceRootTest.h"

#include "MessageBoxCatcher.h"
#include "WindowFixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QTcpServer>
#include <QTest>
#include <QWebEngineView>
#include <unistd.h>

void AnnounceRootTest::initTestCase() {
    if (::geteuid() != 0)
        QSKIP("needs to run as root");
}

void AnnounceRootTest::asRootThePaneLoadsNothing() {
    // The announcement server counts the connections it is offered.
    QTcpServer announcement;
    QVERIFY(announcement.listen(QHostAddress::LocalHost));
    int connections = 0;
    connect(&announcement, &QTcpServer::newConnection, this, [&] {
        while (QTcpSocket* socket = announcement.nextPendingConnection()) {
            ++connections;
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n"
                          "<p>#Braodcast2#root#Braodcast2End##Message2#root#Message2End#</p>");
            socket->disconnectFromHost();
        }
    });

    MessageBoxCatcher boxes;
    WindowFixture fixture(
        WindowFixture::FailingNetwork,
        QUrl(QStringLiteral("http://127.0.0.1:%1/announce.html").arg(announcement.serverPort())));
    fixture.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(fixture.window.get()));
    QTest::qWait(1500);
    QCOMPARE(connections, 0);
    QVERIFY(boxes.Boxes().empty());
    QVERIFY(fixture.window->findChildren<QWebEngineView*>().isEmpty());
    auto* pane = fixture.Find<QWidget>("WebBrowser1");
    QVERIFY(pane);
    QCOMPARE(pane->geometry(), QRect(8, 464, 657, 217));

    // The rest of the window works: the label copies the built-in recommendation.
    QTest::mouseClick(fixture.Find<QLabel>("lblSEM"), Qt::LeftButton);
    QVERIFY(QGuiApplication::clipboard()->text().startsWith(QString::fromUtf8("嘿，我发现了")));
    QCOMPARE(boxes.Boxes().size(), size_t(1));
}
