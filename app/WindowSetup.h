#pragma once

#include <QUrl>
#include <filesystem>
#include <functional>

// Where the main window finds the world outside it.  The program takes the defaults;
// the tests point every item at something of their own.
struct TWindowSetup {
    // The settings file read at creation and written by the save button.
    std::filesystem::path SettingsFile;
    // The folder of the user's autostart entry.
    std::filesystem::path AutoStartFolder;
    // The program the autostart entry starts.
    std::filesystem::path ProgramPath;
    // The announcement page.
    QUrl AnnounceUrl;
    // Whether the desktop shows status icons right now; asked at each hide, since a panel
    // may start after the program or quit.  Without them hiding minimises instead.
    std::function<bool()> TrayAvailable = [] { return false; };
};

// The program's own setup: its settings file, the user's autostart folder, the built-in
// announcement page and the desktop's status-icon area whenever there is one.
TWindowSetup DefaultWindowSetup();
