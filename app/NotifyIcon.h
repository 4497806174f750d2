#pragma once

#include <QIcon>
#include <QObject>
#include <QSystemTrayIcon>
#include <memory>

class QWidget;

// The program's place in the desktop's status-icon area while it polls.  Where the
// desktop has no such area, hiding minimises the window instead, so that the user can
// always get back to it.
class TNotifyIcon : public QObject {
    Q_OBJECT

public:
    // `window` is not owned; it outlives the icon.
    TNotifyIcon(QWidget* window, const QIcon& icon, bool trayAvailable);

    bool TrayAvailable() const { return trayAvailable_; }
    bool IconShown() const { return icon_->isVisible(); }
    QSystemTrayIcon* Icon() const { return icon_.get(); }

    void HideToTray();
    void RestoreFromTray();
    // Takes the icon away, whether or not it is shown.
    void Remove();

private:
    void IconActivated(QSystemTrayIcon::ActivationReason reason);

    QWidget* window_;
    bool trayAvailable_;
    std::unique_ptr<QSystemTrayIcon> icon_;
};
