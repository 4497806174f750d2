#include "app/DesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
// The action the service invokes when the notification itself is clicked.
const QString kDefaultAction = QStringLiteral("default");

} // namespace

TDesktopNotifier::TDesktopNotifier(std::function<void()> activated)
    : activated_(std::move(activated)) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected())
        bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                    SLOT(ActionInvoked(uint, QString)));
}

void TDesktopNotifier::Notify(const QString& title, const QString& message) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                       QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("tallowfinch"));
    call << QStringLiteral("tallowfinch") << lastId_ << QStringLiteral("tallowfinch") << title
         << message << QStringList{kDefaultAction, title} << hints << -1;
    // Asked without waiting: a bus without the service must not hold up the window.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* finished) {
                QDBusPendingReply<uint> reply = *finished;
                if (!reply.isError())
                    lastId_ = reply.value();
                finished->deleteLater();
            });
}

void TDesktopNotifier::ActionInvoked(uint id, const QString& action) {
    if (id != 0 && id == lastId_ && action == kDefaultAction)
        activated_();
}
