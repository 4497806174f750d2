#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

// What a finished child process left behind.
struct TProcessResult {
    int ExitStatus = -1; // -1 when it was killed by a signal
    std::string Out;
    std::string Err;
};

// Runs argv[0] with the arguments, standard input closed, and collects both output
// streams. A child still running after `limit` is killed, and the test fails. `inChild`
// runs in the child just before the program starts (limits, signal dispositions); it may
// only make system calls.
TProcessResult RunProcess(const std::vector<std::string>& argv,
                          std::chrono::milliseconds limit = std::chrono::seconds(30),
                          const std::function<void()>& inChild = {});
