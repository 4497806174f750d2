#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

// What a finished child process left behind.
struct TProcessResult {
    int ExitStatus = -1; // -1 when a signal ended it
    std::string Out;
    std::string Err;
};

// Runs argv[0] with the arguments, standard input closed, and collects both output
// streams. A child still running after `limit` is killed, and the test fails. `inChild`
// runs in the child just before the program starts, its standard streams already in place
// (limits, signal dispositions, a stream replaced); it may only make system calls.
// `onOutput` runs once the child has started and whenever more output has arrived, with
// the child's process id and the output so far (to signal the child at the right moment).
TProcessResult
RunProcess(const std::vector<std::string>& argv,
           std::chrono::milliseconds limit = std::chrono::seconds(30),
           const std::function<void()>& inChild = {},
           const std::function<void(pid_t child, const TProcessResult& sofar)>& onOutput = {});

// The lines of a child's output, without their line breaks.
std::vector<std::string> OutputLines(const std::string& text);
