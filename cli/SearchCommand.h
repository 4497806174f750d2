#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "watch/BoardAddress.h"

// quorvel-cli search [--ini FILE] [--exclude FILE] [--board BOARD] [--raw]
//                    [--proxy HOST:PORT]
struct TSearchOptions {
    // The settings file; program.ini beside the executable unless given.
    std::string IniFile;
    // One excluded link a line (LF or CR LF); none when empty.
    std::string ExcludeFile;
    // The board text (HOST[:PORT], a kind, KIND@URL); the settings file's when empty.
    std::string Board;
    // Print the program's GBK bytes unchanged instead of UTF-8.
    bool Raw = false;
    // HOST:PORT of the proxy every page goes through; the environment's proxies when empty.
    std::string Proxy;
};

// The options of `command` (search or watch, which take the same). Throws EUsageError for
// an unknown argument or a missing or malformed value.
TSearchOptions ParseSearchOptions(const std::vector<std::string>& arguments,
                                  const std::string& command);

// The settings file the options name: --ini's, or the program's own.
std::string SettingsFileOf(const TSearchOptions& options);

// The board the searches go to: --board's, else the settings file's, else the classic board
// the tool was built for. Throws EUsageError for a text that names no board.
watch::TBoardAddress BoardOf(const TSearchOptions& options);

// Loads the settings into an in-memory watch panel, fills the exclusion pane from the
// exclusion file and runs what the window's search-now button runs. The result pane goes
// to `out` and the message boxes to `err`, a line each. Returns esSuccess when the result
// pane holds something, esNothingOrFailure when it is empty. Throws EUnreadableFile when a
// file cannot be read.
int RunSearch(const TSearchOptions& options, std::ostream& out, std::ostream& err);
