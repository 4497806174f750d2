#pragma once

#include <stdexcept>
#include <string>

// A command line that the tool cannot run: an unknown command or option, a missing or
// malformed value. The tool prints the text and its usage and ends with status 2.
class EUsageError : public std::runtime_error {
public:
    explicit EUsageError(const std::string& message) : std::runtime_error(message) {}
};
