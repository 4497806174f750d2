#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <QVector>

// The desktop's notification service as the window sees it on the session bus: it records
// each notification it is sent and can invoke an action on one, as a click would.
class NotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Notification {
        QString AppName;
        uint ReplacesId;
        QString Summary;
        QString Body;
        QStringList Actions;
        QVariantMap Hints;
    };

    // Takes the service's name on the bus at `address`. Throws std::runtime_error when that
    // fails.
    explicit NotificationServer(const QString& address);
    ~NotificationServer() override;

    // What the user does with notification `id`.
    void InvokeAction(uint id, const QString& action);

    QVector<Notification> Received;

public slots:
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int expireTimeout);

private:
    QDBusConnection bus_;
};
