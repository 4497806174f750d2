#pragma once

#include <stdexcept>
#include <string>

// A file named on the command line (or the default settings file) that cannot be read.
// The tool prints the text and ends with status 2.
class EUnreadableFile : public std::runtime_error {
public:
    explicit EUnreadableFile(const std::string& message) : std::runtime_error(message) {}
};
