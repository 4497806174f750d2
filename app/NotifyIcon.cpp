#include "app/NotifyIcon.h"

#include <QWidget>

namespace {
constexpr char kIconTip[] = "Quorvel v1.0 - Pellisand";
}

TNotifyIcon::TNotifyIcon(QWidget* window, const QIcon& icon, bool trayAvailable)
    : window_(window), trayAvailable_(trayAvailable),
      icon_(std::make_unique<QSystemTrayIcon>(icon)) {
    icon_->setToolTip(QString::fromLatin1(kIconTip));
    connect(icon_.get(), &QSystemTrayIcon::activated, this, &TNotifyIcon::IconActivated);
}

void TNotifyIcon::HideToTray() {
    if (!trayAvailable_) {
        window_->showMinimized();
        return;
    }
    window_->hide();
    icon_->show();
}

void TNotifyIcon::RestoreFromTray() {
    icon_->hide();
    window_->showNormal();
    window_->raise();
    window_->activateWindow();
}

void TNotifyIcon::Remove() {
    icon_->hide();
}

void TNotifyIcon::IconActivated(QSystemTrayIcon::ActivationReason reason) {
    // Only a plain left click brings the window back.
    if (reason == QSystemTrayIcon::Trigger)
        RestoreFromTray();
}
