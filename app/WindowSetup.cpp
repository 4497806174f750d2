#include "app/WindowSetup.h"

#include "app/AutoStart.h"
#include "watch/WatchSettings.h"

#include <QSystemTrayIcon>

TWindowSetup DefaultWindowSetup() {
    TWindowSetup setup;
    setup.SettingsFile = watch::SettingsPath();
    setup.AutoStartFolder = UserAutoStartFolder();
    setup.ProgramPath = RunningProgramPath();
    setup.AnnounceUrl = QUrl(QStringLiteral(QUORVEL_ANNOUNCE_URL));
    setup.TrayAvailable = &QSystemTrayIcon::isSystemTrayAvailable;
    return setup;
}
