#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// quorvel-cli search [--ini FILE] [--exclude FILE] [--board HOST[:PORT]] [--raw]
//                    [--proxy HOST:PORT]
struct TSearchOptions {
    // The settings file; program.ini beside the executable unless given.
    std::string IniFile;
    // One excluded link a line (LF or CR LF); none when empty.
    std::string ExcludeFile;
    // Host (and port) of the board's search endpoint; the build's board when empty.
    std::string BoardHost;
    // Print the program's GBK bytes unchanged instead of UTF-8.
    bool Raw = false;
    // HOST:PORT of the proxy every page goes through; the environment's proxies when empty.
    std::string Proxy;
};

// The options of `command` (search or watch, which take the same). Throws EUsageError for
// an unknown argument or a missing or malformed value.
TSearchOptions ParseSearchOptions(const std::vector<std::string>& arguments,
                                  const std::string& command);

// The board the searches go to: --board's, or the one the tool was built for.
std::string BoardHostOf(const TSearchOptions& options);

// Loads the settings into an in-memory watch panel, fills the exclusion pane from the
// exclusion file and runs what the window's search-now button runs. The result pane goes
// to `out` and the message boxes to `err`, a line each. Returns esSuccess when the result
// pane holds something, esNothingOrFailure when it is empty. Throws EUnreadableFile when a
// file cannot be read.
int RunSearch(const TSearchOptions& options, std::ostream& out, std::ostream& err);
