#include "cli/SearchCommand.h"

#include "cli/ArgumentList.h"
#include "cli/ExitStatus.h"
#include "cli/FileText.h"
#include "cli/TerminalText.h"
#include "cli/UsageError.h"
#include "fetcher/HttpPageFetcher.h"
#include "watch/MemoryWatchPanel.h"
#include "watch/SearchRun.h"
#include "watch/WatchSettings.h"

#include <ostream>

namespace {

// HOST or HOST:PORT, with a port from 1 to 65535; nothing that would change the URL's path.
void CheckBoardHost(const std::string& board) {
    size_t colon = board.find(':');
    std::string host = board.substr(0, colon);
    std::string port = colon == std::string::npos ? "1" : board.substr(colon + 1);
    bool hostOk = !host.empty() && host.find_first_of("/?#@ \t\r\n") == std::string::npos;
    bool portOk = !port.empty() && port.size() <= 5 &&
                  port.find_first_not_of("0123456789") == std::string::npos &&
                  std::stoi(port) >= 1 && std::stoi(port) <= 65535;
    if (!hostOk || !portOk)
        throw EUsageError("--board needs HOST or HOST:PORT, not '" + board + "'");
}

// The lines of an exclusion file: LF or CR LF ends a line; everything else stays as it is.
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

} // namespace

TSearchOptions ParseSearchOptions(const std::vector<std::string>& arguments) {
    TSearchOptions options;
    TArgumentList list(arguments);
    while (list.More()) {
        const std::string& argument = list.Next();
        if (argument == "--ini")
            options.IniFile = list.ValueOf(argument);
        else if (argument == "--exclude")
            options.ExcludeFile = list.ValueOf(argument);
        else if (argument == "--board")
            CheckBoardHost(options.BoardHost = list.ValueOf(argument));
        else if (argument == "--raw")
            options.Raw = true;
        else
            throw EUsageError("unknown argument " + argument + " for search");
    }
    return options;
}

int RunSearch(const TSearchOptions& options, std::ostream& out, std::ostream& err) {
    std::string iniFile = options.IniFile.empty() ? watch::SettingsPath() : options.IniFile;
    ReadFileBytes(iniFile); // a settings file that cannot be read is the caller's mistake
    std::vector<std::string> excluded;
    if (!options.ExcludeFile.empty())
        excluded = ExclusionLines(ReadFileBytes(options.ExcludeFile));

    watch::TMemoryWatchPanel panel;
    watch::LoadSettings(panel, iniFile);
    for (const std::string& line : excluded)
        panel.memoFilter().Add(line);

    THttpPageFetcher httpFetcher;
    watch::TSearchRun searchRun(panel, httpFetcher,
                                options.BoardHost.empty() ? QUORVEL_BOARD_HOST : options.BoardHost);
    searchRun.btnRightNowClick();

    for (const std::string& line : panel.memoResult().Lines())
        out << TerminalText(line, options.Raw) << '\n';
    out.flush();
    for (const std::string& message : panel.Messages)
        err << TerminalText(message, options.Raw) << '\n';
    err.flush();
    return panel.memoResult().Count() > 0 ? esSuccess : esNothingOrFailure;
}
