#pragma once

#include "app/DesktopNotifier.h"

#include <QIcon>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>
#include <functional>
#include <memory>

class QWidget;

// The program's place in the desktop's status-icon area while it polls.  The area may come
// and go (a panel that starts after the program, or quits): it is looked for at each hide,
// and where there is none, hiding minimises the window instead, so that the user can
// always get back to it.  A window in a tray that goes away is minimised for the same
// reason.
class TNotifyIcon : public QObject {
    Q_OBJECT

public:
    using TTrayCheck = std::function<bool()>;

    // How long a message shows beside the icon, which stays that long.
    static constexpr int MessageMilliseconds = 10000;
    // How often a window in the tray looks whether the tray is still there.
    static constexpr int TrayLookMilliseconds = 2000;

    // `window` is not owned; it outlives the icon.  `trayAvailable` tells whether the
    // desktop shows status icons right now.
    TNotifyIcon(QWidget* window, const QIcon& icon, TTrayCheck trayAvailable);

    bool IconShown() const { return icon_->isVisible(); }
    QSystemTrayIcon* Icon() const { return icon_.get(); }

    void HideToTray();
    void RestoreFromTray();
    // Brings the window back and tells the user `message` beside the icon, since a window
    // that comes back may stay behind others.  The icon goes when the message does.  With no
    // tray the message goes to the desktop's notifications, whose activation raises the
    // window.
    void RestoreWithMessage(const QString& title, const QString& message);
    // Takes the icon away, whether or not it is shown.
    void Remove();

private:
    void ShowWindow();
    void MinimiseWhenTheTrayIsGone();
    void IconActivated(QSystemTrayIcon::ActivationReason reason);

    QWidget* window_;
    TTrayCheck trayAvailable_;
    std::unique_ptr<QSystemTrayIcon> icon_;
    TDesktopNotifier notifier_;
    QTimer messageShowing_;
    QTimer trayLook_;
};
