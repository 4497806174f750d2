// The settings file over arbitrary file contents: load it into a panel, save the panel back,
// load again; the second load must show what the first one did.

#include "FuzzInput.h"
#include "watch/MemoryWatchPanel.h"
#include "watch/WatchSettings.h"

#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace {

std::string SettingsFile() {
    static const std::string path = [] {
        // On tmpfs: every save syncs the file, which a disk makes slow.
        char folder[] = "/dev/shm/quorvel-fuzz-ini-XXXXXX";
        if (mkdtemp(folder) == nullptr)
            std::abort();
        return std::string(folder) + "/program.ini";
    }();
    return path;
}

std::vector<std::string> Shown(watch::TMemoryWatchPanel& panel) {
    std::vector<std::string> shown;
    for (int pair = 1; pair <= watch::IWatchPanel::PairCount; ++pair) {
        shown.push_back(panel.editComName(pair).Text());
        shown.push_back(panel.editPosition(pair).Text());
    }
    for (watch::TMemorySelector* selector :
         {&panel.comboSearchTime(), &panel.comboCity(), &panel.comboPubDate()}) {
        shown.push_back(selector->Text());
        shown.push_back(std::to_string(selector->ItemIndex()));
    }
    return shown;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = SettingsFile();
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    watch::TMemoryWatchPanel first;
    watch::LoadSettings(first, path);
    watch::btnSaveClick(first, path);
    watch::TMemoryWatchPanel second;
    watch::LoadSettings(second, path);
    if (Shown(first) != Shown(second))
        std::abort();
    return 0;
}
