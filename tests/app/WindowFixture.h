#pragma once

#include "FakeFetcher.h"
#include "app/Unit3.h"

#include <QTemporaryDir>
#include <QUrl>
#include <memory>
#include <string>
#include <vector>

// A main window over a fake fetcher, with its settings file and autostart folder in a
// temporary folder of its own.  It shows no announcement page unless given one.
struct WindowFixture {
    explicit WindowFixture(FakeFetcher::Responder responder = FailingNetwork,
                           const QUrl& announceUrl = QUrl(), bool trayAvailable = true);

    static std::string FailingNetwork(const std::string& url);
    std::string Path(const char* name) const;

    template <typename Control> Control* Find(const char* name) const {
        return window->findChild<Control*>(QString::fromLatin1(name));
    }

    QTemporaryDir folder;
    // Whether the desktop shows status icons; a test may let the tray come and go.
    bool trayPresent;
    std::vector<std::string> fetchedUrls;
    std::unique_ptr<TfrmVantaro> window;
};
