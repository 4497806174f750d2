#pragma once

#include <string>
#include <vector>

// The options that make `watch` a lasting watch of new postings:
//   --new [--state FILE] [--exec CMD] [--alert-after N]
struct TNewWatchOptions {
    bool New = false;
    // The file of reported links; the default state file when empty.
    std::string StateFile;
    // The hook's shell command; none when empty.
    std::string HookCommand;
    // Searches in a row with a failed fetch before the watch says the board is failing.
    int AlertAfter = 3;
};

// Takes the options above out of `arguments` and leaves the rest, in order, for
// ParseSearchOptions. Throws EUsageError for a missing or malformed value, and for --state,
// --exec or --alert-after without --new.
TNewWatchOptions TakeNewWatchOptions(std::vector<std::string>& arguments);
