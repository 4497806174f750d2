#pragma once

#include <QByteArray>
#include <QMap>
#include <QTcpServer>
#include <QUrl>

// A small web server on 127.0.0.1 that serves fixed GBK pages by path, one request per
// connection.  A path among the redirects is answered with a 302 whose Location is the given
// bytes, unparsed, so that a test controls exactly what the engine receives.
class LoopbackServer : public QObject {
    Q_OBJECT

public:
    explicit LoopbackServer(QMap<QByteArray, QByteArray> pages,
                            QMap<QByteArray, QByteArray> redirects = {});

    QUrl Url(const QString& path) const;

private:
    void Answer(QTcpSocket* socket);
    QByteArray Response(const QByteArray& path) const;

    QTcpServer server_;
    QMap<QByteArray, QByteArray> pages_;
    QMap<QByteArray, QByteArray> redirects_;
};
