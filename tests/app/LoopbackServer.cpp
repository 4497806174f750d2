#include "LoopbackServer.h"

#include <QTcpSocket>

LoopbackServer::LoopbackServer(QMap<QByteArray, QByteArray> pages) : pages_(std::move(pages)) {
    server_.listen(QHostAddress::LocalHost);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Answer(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QUrl LoopbackServer::Url(const QString& path) const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path));
}

void LoopbackServer::Answer(QTcpSocket* socket) {
    if (socket->property("answered").toBool() || !socket->canReadLine())
        return;
    socket->setProperty("answered", true);
    QList<QByteArray> requestLine = socket->readLine().split(' ');
    socket->readAll();
    QByteArray path = requestLine.value(1);
    bool known = pages_.contains(path);
    QByteArray body = known ? pages_.value(path) : QByteArray("<html><body>none</body></html>");
    socket->write(QByteArray(known ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 404 Not Found\r\n") +
                  "Content-Type: text/html; charset=gbk\r\n" + "Content-Length: " +
                  QByteArray::number(body.size()) + "\r\n" + "Connection: close\r\n\r\n" + body);
    socket->disconnectFromHost();
}
