#pragma once

// The tool's exit statuses, the contract with the scripts and cron jobs that run it.
enum ExitStatus : int {
    // search: the result pane holds something; get: every URL was fetched.
    esSuccess = 0,
    // search: nothing was found; get: at least one URL failed.
    esNothingOrFailure = 1,
    // A command line that cannot be run, or a file that cannot be read.
    esUsage = 2,
    // Standard output took a write or a flush badly: what was found did not reach its reader.
    esOutputFailure = 3,
};
