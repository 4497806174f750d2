#pragma once

#include <stdexcept>
#include <string>

// A file of the tool's output that could not be written whole ("cannot write PATH: reason").
// What was written of it is gone by the time this is raised.
class EUnwritableFile : public std::runtime_error {
public:
    explicit EUnwritableFile(const std::string& message) : std::runtime_error(message) {}
};
