#include "NotificationServer.h"

#include <QDBusMessage>
#include <stdexcept>

namespace {
const QString kConnectionName = QStringLiteral("notification-server");
}

NotificationServer::NotificationServer(const QString& address)
    : bus_(QDBusConnection::connectToBus(address, kConnectionName)) {
    if (!bus_.isConnected() ||
        !bus_.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                             QDBusConnection::ExportAllSlots) ||
        !bus_.registerService(QStringLiteral("org.freedesktop.Notifications")))
        throw std::runtime_error("cannot serve notifications on the test's bus");
}

NotificationServer::~NotificationServer() {
    QDBusConnection::disconnectFromBus(kConnectionName);
}

uint NotificationServer::Notify(const QString& appName, uint replacesId, const QString&,
                                const QString& summary, const QString& body,
                                const QStringList& actions, const QVariantMap& hints, int) {
    Received.push_back({appName, replacesId, summary, body, actions, hints});
    // The first id is 41, so that a window that took 0 or 1 for it would be caught; a
    // replaced notification keeps its id.
    return replacesId != 0 ? replacesId : static_cast<uint>(Received.size()) + 40;
}

void NotificationServer::InvokeAction(uint id, const QString& action) {
    QDBusMessage signal = QDBusMessage::createSignal(
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("ActionInvoked"));
    signal << id << action;
    bus_.send(signal);
}
