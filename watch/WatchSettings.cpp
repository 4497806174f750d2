#include "watch/WatchSettings.h"

#include "watch/GbkText.h"
#include "watch/IniFile.h"
#include "watch/IniFileException.h"
#include "watch/WatchPanel.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <stdexcept>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace watch {
namespace {

// One stored selector choice: where it lives, its default, and its selector.
struct TChoiceSetting {
    const char* Section;
    std::string Default;
    ISelector& (IWatchPanel::*Selector)();
};

// The choices in the order they are read and written.
std::vector<TChoiceSetting> ChoiceSettings() {
    return {
        {"SearchTime", Gbk("半小时"), &IWatchPanel::comboSearchTime},
        {"City", Gbk("北京"), &IWatchPanel::comboCity},
        {"PubDate", Gbk("一天内"), &IWatchPanel::comboPubDate},
    };
}

// Pair 1 lives in "pair", pairs 2 to 5 in "pair2" to "pair5".
std::string PairSection(int pair) {
    return pair == 1 ? "pair" : "pair" + std::to_string(pair);
}

void SelectItem(ISelector& selector, const std::string& text) {
    std::vector<std::string> items = selector.Items();
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i] == text) {
            selector.SetItemIndex(static_cast<int>(i));
            return;
        }
    }
    selector.SetItemIndex(-1);
}

std::string SelectedItem(const ISelector& selector) {
    std::vector<std::string> items = selector.Items();
    int index = selector.ItemIndex();
    return index >= 0 && index < static_cast<int>(items.size()) ? items[index] : std::string();
}

const char* const SettingsFileName = "program.ini";

std::string ProgramFolder() {
    char executable[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", executable, sizeof executable);
    if (length < 0 || length == static_cast<ssize_t>(sizeof executable))
        throw std::system_error(errno, std::generic_category(), "Cannot locate the program");
    std::string path(executable, static_cast<size_t>(length));
    return path.substr(0, path.rfind('/') + 1);
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// $HOME, else the user's entry in the password database; empty when neither has one.
std::string HomeFolder() {
    std::string home = Environment("HOME");
    if (!home.empty())
        return home;
    const passwd* user = ::getpwuid(::getuid());
    return user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "";
}

// Whether the user may make files in `folder`, judged as the system will judge the save.
bool MayWriteIn(const std::string& folder) {
    return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

// Whether both name one folder, through links and merged folders (/bin and /usr/bin) alike.
bool SameFolder(const std::string& one, const std::string& other) {
    std::error_code missing; // a folder that is not there is nobody's install folder
    return std::filesystem::equivalent(one, other, missing);
}

bool Exists(const std::filesystem::path& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

// Makes `folder` and any missing folders above it, each for the user alone.
void MakeFolder(const std::filesystem::path& folder, const std::string& settingsPath) {
    std::error_code ignored; // a folder that cannot be looked at fails at the mkdir below
    if (folder.empty() || std::filesystem::is_directory(folder, ignored))
        return;
    MakeFolder(folder.parent_path(), settingsPath);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        throw EIniFileException(settingsPath);
}

} // namespace

std::string SettingsPath() {
    return SettingsPathFor(ProgramFolder(), Environment("XDG_CONFIG_HOME"), HomeFolder(),
                           QUORVEL_INSTALL_BINDIR);
}

// Root may write anywhere, so writability alone would put root's settings into the system's
// own folder of programs.
std::string SettingsPathFor(const std::string& programFolder, const std::string& configHome,
                            const std::string& home, const std::string& installFolder) {
    std::filesystem::path beside = std::filesystem::path(programFolder) / SettingsFileName;
    if (Exists(beside) || (MayWriteIn(programFolder) && !SameFolder(programFolder, installFolder)))
        return beside.string();
    std::filesystem::path config = std::filesystem::path(configHome);
    if (!config.is_absolute()) {
        if (home.empty())
            throw std::runtime_error("Cannot locate the home folder");
        config = std::filesystem::path(home) / ".config";
    }
    return (config / "quorvel" / SettingsFileName).string();
}

void LoadSettings(IWatchPanel& panel, const std::string& path) {
    TIniFile file(path);
    for (int pair = 1; pair <= IWatchPanel::PairCount; ++pair) {
        panel.editComName(pair).SetText(file.ReadString(PairSection(pair), "com", ""));
        panel.editPosition(pair).SetText(file.ReadString(PairSection(pair), "position", ""));
    }
    std::vector<TChoiceSetting> choices = ChoiceSettings();
    std::vector<std::string> stored;
    for (const TChoiceSetting& choice : choices)
        stored.push_back(file.ReadString(choice.Section, "value", choice.Default));
    for (size_t i = 0; i < choices.size(); ++i)
        SelectItem((panel.*choices[i].Selector)(), stored[i]);
}

std::string LoadBoardSetting(const std::string& path) {
    return TIniFile(path).ReadString("Board", "value", "");
}

void SaveBoardSetting(const std::string& path, const std::string& board) {
    TIniFile(path).WriteString("Board", "value", board);
}

void btnSaveClick(IWatchPanel& panel, const std::string& path) {
    MakeFolder(std::filesystem::path(path).parent_path(), path);
    TIniFile file(path);
    for (int pair = 1; pair <= IWatchPanel::PairCount; ++pair) {
        file.WriteString(PairSection(pair), "com", panel.editComName(pair).Text());
        file.WriteString(PairSection(pair), "position", panel.editPosition(pair).Text());
    }
    for (const TChoiceSetting& choice : ChoiceSettings())
        file.WriteString(choice.Section, "value", SelectedItem((panel.*choice.Selector)()));
}

} // namespace watch
