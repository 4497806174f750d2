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

#include <cstring>
#include <ostream>
#include <utility>

watch::TTextLineList ExclusionLines(std::string bytes) {
    // Every line moves left over the CRs dropped before it; each gets an LF.
    std::size_t kept = 0;
    bool lastEndsInLineBreak = true;
    for (std::size_t start = 0; start < bytes.size();) {
        std::size_t end = bytes.find('\n', start);
        lastEndsInLineBreak = end != std::string::npos;
        if (!lastEndsInLineBreak)
            end = bytes.size();
        std::size_t length = end - start;
        if (length > 0 && bytes[end - 1] == '\r' && end < bytes.size())
            --length;
        std::memmove(bytes.data() + kept, bytes.data() + start, length);
        kept += length;
        if (lastEndsInLineBreak)
            bytes[kept++] = '\n';
        start = end + 1;
    }
    bytes.resize(kept);
    if (!lastEndsInLineBreak)
        bytes += '\n';
    watch::TTextLineList lines;
    lines.Assign(std::move(bytes));
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
    std::string iniFile = SettingsFileOf(options);
    CheckSettingsFile(iniFile);
    watch::TTextLineList excluded;
    if (!options.ExcludeFile.empty())
        excluded = ExclusionLines(ReadRegularFile(options.ExcludeFile, ExclusionFileLimit));
    watch::LoadSettings(panel, iniFile);
    panel.memoFilter() = std::move(excluded);
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
