#pragma once

#include <stdexcept>
#include <string>

// Standard output that took a write or a flush badly ("cannot write standard output: reason"):
// the finds did not reach their reader. The tool prints the text and ends with status 3.
class EUnwritableOutput : public std::runtime_error {
public:
    explicit EUnwritableOutput(const std::string& message) : std::runtime_error(message) {}
};
