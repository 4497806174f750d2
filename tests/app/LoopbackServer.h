#pragma once

#include <QByteArray>
#include <QMap>
#include <QTcpServer>
#include <QUrl>

// A small web server on 127.0.0.1 that serves fixed GBK pages by path, one request per
// connection.
class LoopbackServer : public QObject {
    Q_OBJECT

public:
    explicit LoopbackServer(QMap<QByteArray, QByteArray> pages);

    QUrl Url(const QString& path) const;

private:
    void Answer(QTcpSocket* socket);

    QTcpServer server_;
    QMap<QByteArray, QByteArray> pages_;
};
