#pragma once

#include <stdexcept>
#include <string>

namespace watch {

// A settings value could not be written: "Unable to write to <path>".
class EIniFileException : public std::runtime_error {
public:
    explicit EIniFileException(const std::string& path)
        : std::runtime_error("Unable to write to " + path) {}

    virtual const char* ClassName() const noexcept { return "EIniFileException"; }
};

} // namespace watch
