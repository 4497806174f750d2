#include "LoopbackServer.h"

#include <QTcpSocket>

LoopbackServer::LoopbackServer(QMap<QByteArray, QByteArray> pages,
                               QMap<QByteArray, QByteArray> redirects)
    : pages_(std::move(pages)), redirects_(std::move(redirects)) {
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
    socket->write(Response(requestLine.value(1)));
    socket->disconnectFromHost();
}

QByteArray LoopbackServer::Response(const QByteArray& path) const {
    if (redirects_.contains(path))
        return "HTTP/1.1 302 Found\r\nLocation: " + redirects_.value(path) +
               "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    bool known = pages_.contains(path);
    QByteArray body = known ? pages_.value(path) : QByteArray("<html><body>none</body></html>");
    return QByteArray(known ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 404 Not Found\r\n") +
           "Content-Type: text/html; charset=gbk\r\n" +
           "Content-Length: " + QByteArray::number(body.size()) + "\r\n" +
           "Connection: close\r\n\r\n" + body;
}
