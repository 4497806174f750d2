#include "WindowFixture.h"

#include <stdexcept>

WindowFixture::WindowFixture(FakeFetcher::Responder responder, const QUrl& announceUrl,
                             bool trayAvailable)
    : trayPresent(trayAvailable) {
    TWindowSetup setup;
    setup.SettingsFile = Path("program.ini");
    setup.AutoStartFolder = Path("autostart");
    setup.ProgramPath = "/opt/quorvel/bin/tallowfinch";
    setup.AnnounceUrl = announceUrl;
    setup.TrayAvailable = [this] { return trayPresent; };
    window = std::make_unique<TfrmVantaro>(
        setup, std::make_unique<FakeFetcher>(std::move(responder), &fetchedUrls));
}

std::string WindowFixture::FailingNetwork(const std::string&) {
    throw std::runtime_error("Socket Error # 10061");
}

std::string WindowFixture::Path(const char* name) const {
    return folder.filePath(QString::fromLatin1(name)).toStdString();
}
