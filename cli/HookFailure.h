#pragma once

#include <stdexcept>
#include <string>

// A hook that could not be started, failed or ran too long. The watch reports it on
// standard error and goes on.
class EHookFailure : public std::runtime_error {
public:
    explicit EHookFailure(const std::string& message) : std::runtime_error(message) {}
};
