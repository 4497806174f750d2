// quorvel-cli: the job watch and the HTTP client without a window, for servers, scripts
// and cron.

#include "cli/CheckedOutput.h"
#include "cli/ExitStatus.h"
#include "cli/GetCommand.h"
#include "cli/NewWatchCommand.h"
#include "cli/NewWatchOptions.h"
#include "cli/SearchCommand.h"
#include "cli/SeenStore.h"
#include "cli/SignalTickWait.h"
#include "cli/StopSignals.h"
#include "cli/UnreadableFile.h"
#include "cli/UnwritableOutput.h"
#include "cli/UsageError.h"
#include "cli/WatchCommand.h"

#include <exception>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char* const Usage =
    "usage: quorvel-cli search [--ini FILE] [--exclude FILE] [--board BOARD] [--raw]\n"
    "                          [--proxy HOST:PORT]\n"
    "       quorvel-cli watch [--ini FILE] [--exclude FILE] [--board BOARD] [--raw]\n"
    "                         [--proxy HOST:PORT]\n"
    "                         [--new [--state FILE] [--exec CMD] [--alert-after N]]\n"
    "       quorvel-cli get [--read-timeout MS] [--out DIR] [--proxy HOST:PORT] URL...\n"
    "       quorvel-cli COMMAND --help | --help | --version\n"
    "\n"
    "search  runs one search with the settings of FILE (the program's own program.ini),\n"
    "        skipping the links listed in the exclusion file; prints the result pane,\n"
    "        in UTF-8 or, with --raw, in GBK. Exit status 0 when something was found,\n"
    "        1 when nothing was.\n"
    "watch   polls as the program does, without the window: searches at once and then\n"
    "        at every interval of the settings file, printing each search's finds as\n"
    "        search does and a time stamp line before it on standard error. Ends with\n"
    "        status 0 after the first search that finds something, 1 when no keyword pair\n"
    "        is complete, 130 on SIGINT, 143 on SIGTERM and 129 on SIGHUP; a stop gives\n"
    "        up the fetch in progress and prints nothing of that search.\n"
    "        --new: a find does not end the watch; each search prints only the rows whose\n"
    "        link was never printed before, remembered in FILE (default\n"
    "        $XDG_STATE_HOME/quorvel/seen.tsv). --exec runs /bin/sh -c CMD for each new row\n"
    "        with QUORVEL_EVENT=new, QUORVEL_COMPANY, QUORVEL_TITLE and QUORVEL_LINK set;\n"
    "        after N (3) searches in a row with a failed fetch, and again once the board\n"
    "        answers, a line on standard error and CMD with QUORVEL_EVENT=failing or\n"
    "        recovered and QUORVEL_MESSAGE. Ends only on a stop signal.\n"
    "get     fetches the URLs in order over one connection and prints a line for each:\n"
    "        'i OK bytes' or 'i ExceptionClass message'. --out DIR keeps the bodies as\n"
    "        DIR/i.body and error bodies as DIR/i.error. Exit status 0 when every URL\n"
    "        was fetched, 1 otherwise. SIGINT, SIGTERM and SIGHUP give up the URL in\n"
    "        progress and remove its body: the lines of the finished URLs are printed,\n"
    "        and the status is 130, 143 or 129.\n"
    "--proxy HOST:PORT sends every page through that proxy (https through a CONNECT\n"
    "        tunnel); without it http_proxy, https_proxy and no_proxy are followed.\n"
    "--board BOARD  the board to search instead of the settings file's [Board] value:\n"
    "        HOST[:PORT] (the classic board there), classic, greenhouse, lever, ashby,\n"
    "        or KIND@URL for that kind at another http or https address.\n"
    "Exit status 2: the command line cannot be run, or a file cannot be read;\n"
    "3: standard output cannot be written (closed, a full device, its reader gone).\n"
    "Printed text shows control bytes but TAB as \\xHH, CR and LF as \\r and \\n, and a\n"
    "backslash as \\\\.\n";

const char* const Commands[] = {"search", "watch", "get"};

bool IsCommand(const std::string& word) {
    for (const char* command : Commands)
        if (word == command)
            return true;
    return false;
}

bool AsksForHelp(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments)
        if (argument == "--help" || argument == "-h")
            return true;
    return false;
}

// One command's part of the usage, cut from the whole so that the two never differ: its
// synopsis, its paragraph, and the notes that hold for every command.
std::string CommandUsage(const std::string& command) {
    std::istringstream lines(Usage);
    std::string line;
    std::string synopsis;
    std::string paragraphs;
    std::string owner;
    bool inSynopsis = true;
    bool ownCall = false;
    while (std::getline(lines, line)) {
        if (line.empty()) {
            inSynopsis = false;
        } else if (inSynopsis) {
            // A line without the tool's name goes on with the call above it.
            std::size_t start = line.find("quorvel-cli ");
            if (start != std::string::npos) {
                std::string call = line.substr(start);
                ownCall = call.starts_with("quorvel-cli " + command + " ");
                if (ownCall)
                    synopsis += "usage: " + call + "\n";
            } else if (ownCall) {
                synopsis += line + "\n";
            }
        } else {
            if (line.front() != ' ')
                owner = line.substr(0, line.find(' '));
            if (owner == command || !IsCommand(owner))
                paragraphs += line + "\n";
        }
    }
    return synopsis + "\n" + paragraphs;
}

int Run(const std::vector<std::string>& arguments) {
    if (arguments.empty())
        throw EUsageError("no command given");
    const std::string& command = arguments.front();
    std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    if (IsCommand(command) && AsksForHelp(rest)) {
        std::cout << CommandUsage(command);
        return esSuccess;
    }
    if (command == "--version") {
        std::cout << "quorvel-cli " QUORVEL_VERSION "\n";
        return esSuccess;
    }
    if (command == "search")
        return RunSearch(ParseSearchOptions(rest, command), std::cout, std::cerr);
    if (command == "watch") {
        TNewWatchOptions newOptions = TakeNewWatchOptions(rest);
        TSearchOptions options = ParseSearchOptions(rest, command);
        TSignalTickWait wait;
        if (newOptions.New) {
            TSeenStore store(newOptions.StateFile.empty() ? TSeenStore::DefaultPath()
                                                          : newOptions.StateFile);
            return RunNewWatch(options, newOptions, store, wait, std::cout, std::cerr);
        }
        return RunWatch(options, wait, std::cout, std::cerr);
    }
    if (command == "get") {
        TGetOptions options = ParseGetOptions(rest);
        TStopSignals stop;
        return RunGet(options, stop, std::cout, std::cerr);
    }
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << Usage;
        return esSuccess;
    }
    throw EUsageError("unknown command '" + command + "'");
}

} // namespace

int main(int argc, char** argv) {
    PrepareStandardStreams();
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const EUsageError& error) {
        std::cerr << "quorvel-cli: " << error.what() << "\n" << Usage;
        return esUsage;
    } catch (const EUnreadableFile& error) {
        std::cerr << "quorvel-cli: " << error.what() << "\n";
        return esUsage;
    } catch (const EUnwritableOutput& error) {
        std::cerr << "quorvel-cli: " << error.what() << "\n";
        return esOutputFailure;
    } catch (const std::exception& error) {
        std::cerr << "quorvel-cli: " << error.what() << "\n";
        return esNothingOrFailure;
    }
}
