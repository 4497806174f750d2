#include "app/NotifyIcon.h"

#include "app/QtEnabledFlag.h"

#include <QWidget>

namespace {
constexpr char kIconTip[] = "Quorvel v1.0 - Pellisand";
}

TNotifyIcon::TNotifyIcon(QWidget* window, const QIcon& icon, TTrayCheck trayAvailable)
    : window_(window), trayAvailable_(std::move(trayAvailable)),
      icon_(std::make_unique<QSystemTrayIcon>(icon)), notifier_([this] { ShowWindow(); }) {
    icon_->setToolTip(QString::fromLatin1(kIconTip));
    connect(icon_.get(), &QSystemTrayIcon::activated, this, &TNotifyIcon::IconActivated);
    connect(icon_.get(), &QSystemTrayIcon::messageClicked, this, &TNotifyIcon::RestoreFromTray);
    messageShowing_.setSingleShot(true);
    messageShowing_.setInterval(MessageMilliseconds);
    connect(&messageShowing_, &QTimer::timeout, this, &TNotifyIcon::Remove);
    trayLook_.setInterval(TrayLookMilliseconds);
    connect(&trayLook_, &QTimer::timeout, this, &TNotifyIcon::MinimiseWhenTheTrayIsGone);
}

void TNotifyIcon::HideToTray() {
    messageShowing_.stop();
    if (!trayAvailable_()) {
        window_->showMinimized();
        return;
    }
    // A window that the user minimised is hidden as it is: taking the minimised state away
    // now would map it again.  It comes back from the tray in its normal state.
    window_->hide();
    icon_->show();
    trayLook_.start();
}

void TNotifyIcon::RestoreFromTray() {
    Remove();
    ShowWindow();
}

void TNotifyIcon::RestoreWithMessage(const QString& title, const QString& message) {
    trayLook_.stop();
    if (!trayAvailable_()) {
        RestoreFromTray();
        notifier_.Notify(title, message);
        return;
    }
    ShowWindow();
    // The message belongs to the icon and goes with it.
    icon_->show();
    icon_->showMessage(title, message, icon_->icon(), MessageMilliseconds);
    messageShowing_.start();
}

void TNotifyIcon::Remove() {
    messageShowing_.stop();
    trayLook_.stop();
    icon_->hide();
}

void TNotifyIcon::MinimiseWhenTheTrayIsGone() {
    if (trayAvailable_())
        return;
    Remove();
    window_->showMinimized();
}

void TNotifyIcon::ShowWindow() {
    window_->showNormal();
    window_->raise();
    window_->activateWindow();
    LendHeldFocus(window_);
}

void TNotifyIcon::IconActivated(QSystemTrayIcon::ActivationReason reason) {
    // Only a plain left click brings the window back.
    if (reason == QSystemTrayIcon::Trigger)
        RestoreFromTray();
}
