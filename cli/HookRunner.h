#pragma once

#include <chrono>
#include <string>
#include <utility>
#include <vector>

// Runs the user's command, `/bin/sh -c COMMAND`, for an event of the watch. What the event is
// about reaches the command only through its environment, never through the command text,
// so nothing a board sends can become shell syntax. The command reads an empty standard
// input (/dev/null); its standard output and error both go to the tool's standard error, so
// that they never mix with the finds. It runs in a process group of its own, which is killed
// when it runs longer than the limit.
class THookRunner {
public:
    using TVariables = std::vector<std::pair<std::string, std::string>>;

    explicit THookRunner(std::string command,
                         std::chrono::milliseconds limit = std::chrono::seconds(60));

    // Runs the command once with the tool's environment plus `variables` (which replace any of
    // the same name), and waits for it. Throws EHookFailure when it cannot be started, ends
    // with a status other than 0, dies of a signal or is killed at the limit.
    void Run(const TVariables& variables) const;

private:
    std::vector<std::string> Environment(const TVariables& variables) const;
    // The child's wait status once it ended. Kills its group at the limit and throws
    // EHookFailure then.
    int WaitWithin(int child) const;

    std::string command_;
    std::chrono::milliseconds limit_;
};
