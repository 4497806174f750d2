#pragma once

#include <QObject>
#include <QString>
#include <functional>

// Tells the user something through the desktop's notification service on the session bus
// (org.freedesktop.Notifications), where there is no status-icon area to show a message
// beside. Activating the notification runs the given action. Without a session bus or a
// service on it nothing is shown, and nothing waits for an answer.
class TDesktopNotifier : public QObject {
    Q_OBJECT

public:
    // `activated` runs when the user activates the last notification sent.
    explicit TDesktopNotifier(std::function<void()> activated);

    // Sends a notification; it replaces the one sent before, if that still shows.
    void Notify(const QString& title, const QString& message);

private slots:
    void ActionInvoked(uint id, const QString& action);

private:
    std::function<void()> activated_;
    // The service's id of the last notification; 0 before the service has answered.
    uint lastId_ = 0;
};
