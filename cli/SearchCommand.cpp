#include "cli/SearchCommand.h"

#include "cli/ArgumentList.h"
#include "cli/ExitStatus.h"
#include "cli/PanelFiles.h"
#include "cli/ProxyOption.h"
#include "cli/UsageError.h"
#include "fetcher/HttpPageFetcher.h"
#include "watch/MemoryWatchPanel.h"
#include "watch/SearchRun.h"

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

} // namespace

TSearchOptions ParseSearchOptions(const std::vector<std::string>& arguments,
                                  const std::string& command) {
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
        else if (argument == "--proxy")
            ProxiesOf(options.Proxy = list.ValueOf(argument));
        else
            throw EUsageError("unknown argument " + argument + " for " + command);
    }
    return options;
}

std::string BoardHostOf(const TSearchOptions& options) {
    return options.BoardHost.empty() ? QUORVEL_BOARD_HOST : options.BoardHost;
}

int RunSearch(const TSearchOptions& options, std::ostream& out, std::ostream& err) {
    watch::TMemoryWatchPanel panel;
    LoadPanel(options, panel);
    THttpPageFetcher httpFetcher(ProxiesOf(options.Proxy));
    watch::TSearchRun searchRun(panel, httpFetcher, BoardHostOf(options));
    searchRun.btnRightNowClick();
    PrintFinds(panel, options.Raw, out);
    PrintMessages(panel, options.Raw, err);
    return panel.memoResult().Count() > 0 ? esSuccess : esNothingOrFailure;
}
