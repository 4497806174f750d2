#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <memory>

class NotificationServer;

// A find while no tray is there, told through the desktop's notification service on a
// session bus of the test's own (dbus-daemon) with a notification server of the test's own.
class NotifyTest : public QObject {
    Q_OBJECT

public:
    NotifyTest();
    ~NotifyTest() override;

private slots:
    void initTestCase();
    void cleanupTestCase();
    void aFindIsToldThroughTheDesktopOnlyWithoutATray_data();
    void aFindIsToldThroughTheDesktopOnlyWithoutATray();
    void activatingTheNotificationRaisesTheWindow_data();
    void activatingTheNotificationRaisesTheWindow();

private:
    QProcess bus_;
    std::unique_ptr<NotificationServer> server_;
};
