#include "cli/PanelFiles.h"

#include "cli/CheckedOutput.h"
#include "cli/FileText.h"
#include "cli/SearchCommand.h"
#include "cli/TerminalText.h"
#include "cli/UnreadableFile.h"
#include "watch/IniFile.h"
#include "watch/IniFileReadException.h"
#include "watch/MemoryWatchPanel.h"
#include "watch/WatchSettings.h"

#include <ostream>

std::vector<std::string> ExclusionLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        size_t length = end - start;
        if (length > 0 && bytes[end - 1] == '\r' && end < bytes.size())
            --length;
        lines.push_back(bytes.substr(start, length));
        start = end + 1;
    }
    return lines;
}

namespace {

// A settings file that cannot be read is the caller's mistake, not a file of defaults.
void CheckSettingsFile(const std::string& path) {
    try {
        watch::CheckIniFileReadable(path);
    } catch (const watch::EIniFileReadException& failure) {
        throw EUnreadableFile(failure.what());
    }
}

} // namespace

void LoadPanel(const TSearchOptions& options, watch::TMemoryWatchPanel& panel) {
    std::string iniFile = options.IniFile.empty() ? watch::SettingsPath() : options.IniFile;
    CheckSettingsFile(iniFile);
    std::vector<std::string> excluded;
    if (!options.ExcludeFile.empty())
        excluded = ExclusionLines(ReadRegularFile(options.ExcludeFile, ExclusionFileLimit));
    watch::LoadSettings(panel, iniFile);
    for (const std::string& line : excluded)
        panel.memoFilter().Add(line);
}

void PrintFinds(watch::TMemoryWatchPanel& panel, bool raw, std::ostream& out) {
    for (const std::string& line : panel.memoResult().Lines())
        WriteOutput(out, TerminalText(line, raw) + '\n');
    FlushOutput(out);
}

void PrintMessages(watch::TMemoryWatchPanel& panel, bool raw, std::ostream& err) {
    for (const std::string& message : panel.Messages)
        err << TerminalText(message, raw) << '\n';
    err.flush();
    panel.Messages.clear();
}
