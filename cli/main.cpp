// quorvel-cli: the job watch and the HTTP client without a window, for servers, scripts
// and cron.

#include "cli/CheckedOutput.h"
#include "cli/ExitStatus.h"
#include "cli/GetCommand.h"
#include "cli/SearchCommand.h"
#include "cli/SignalTickWait.h"
#include "cli/StopSignals.h"
#include "cli/UnreadableFile.h"
#include "cli/UnwritableOutput.h"
#include "cli/UsageError.h"
#include "cli/WatchCommand.h"

#include <exception>
#include <iostream>
#include <string>
#include <vector>

namespace {

const char* const Usage =
    "usage: quorvel-cli search [--ini FILE] [--exclude FILE] [--board HOST[:PORT]] [--raw]\n"
    "       quorvel-cli watch [--ini FILE] [--exclude FILE] [--board HOST[:PORT]] [--raw]\n"
    "       quorvel-cli get [--read-timeout MS] [--out DIR] URL...\n"
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
    "get     fetches the URLs in order over one connection and prints a line for each:\n"
    "        'i OK bytes' or 'i ExceptionClass message'. --out DIR keeps the bodies as\n"
    "        DIR/i.body and error bodies as DIR/i.error. Exit status 0 when every URL\n"
    "        was fetched, 1 otherwise. SIGINT, SIGTERM and SIGHUP give up the URL in\n"
    "        progress and remove its body: the lines of the finished URLs are printed,\n"
    "        and the status is 130, 143 or 129.\n"
    "Exit status 2: the command line cannot be run, or a file cannot be read;\n"
    "3: standard output cannot be written (closed, a full device, its reader gone).\n"
    "Printed text shows control bytes but TAB as \\xHH, CR and LF as \\r and \\n, and a\n"
    "backslash as \\\\.\n";

int Run(const std::vector<std::string>& arguments) {
    if (arguments.empty())
        throw EUsageError("no command given");
    const std::string& command = arguments.front();
    std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    if (command == "search")
        return RunSearch(ParseSearchOptions(rest, command), std::cout, std::cerr);
    if (command == "watch") {
        TSearchOptions options = ParseSearchOptions(rest, command);
        TSignalTickWait wait;
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
