#include "cli/SearchCommand.h"

#include "cli/ArgumentList.h"
#include "cli/ExitStatus.h"
#include "cli/PanelFiles.h"
#include "cli/ProxyOption.h"
#include "cli/UsageError.h"
#include "fetcher/HttpPageFetcher.h"
#include "watch/BoardTextException.h"
#include "watch/MemoryWatchPanel.h"
#include "watch/SearchRun.h"
#include "watch/WatchSettings.h"

#include <ostream>

namespace {

watch::TBoardAddress ParseBoard(const std::string& text) {
    try {
        return watch::TBoardAddress::Parse(text, QUORVEL_BOARD_HOST);
    } catch (const watch::EBoardTextException& refused) {
        throw EUsageError(refused.what());
    }
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
            ParseBoard(options.Board = list.ValueOf(argument));
        else if (argument == "--raw")
            options.Raw = true;
        else if (argument == "--proxy")
            ProxiesOf(options.Proxy = list.ValueOf(argument));
        else
            throw EUsageError("unknown argument " + argument + " for " + command);
    }
    return options;
}

std::string SettingsFileOf(const TSearchOptions& options) {
    return options.IniFile.empty() ? watch::SettingsPath() : options.IniFile;
}

watch::TBoardAddress BoardOf(const TSearchOptions& options) {
    if (!options.Board.empty())
        return ParseBoard(options.Board);
    return ParseBoard(watch::LoadBoardSetting(SettingsFileOf(options)));
}

int RunSearch(const TSearchOptions& options, std::ostream& out, std::ostream& err) {
    watch::TMemoryWatchPanel panel;
    LoadPanel(options, panel);
    THttpPageFetcher httpFetcher(ProxiesOf(options.Proxy));
    watch::TSearchRun searchRun(panel, httpFetcher, BoardOf(options));
    searchRun.btnRightNowClick();
    PrintFinds(panel, options.Raw, out);
    PrintMessages(panel, options.Raw, err);
    return panel.memoResult().Count() > 0 ? esSuccess : esNothingOrFailure;
}
