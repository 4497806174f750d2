#pragma once

#include <stdexcept>
#include <string>

namespace watch {

// A settings file cannot be read: "cannot read <path>: <reason>".
class EIniFileReadException : public std::runtime_error {
public:
    EIniFileReadException(const std::string& path, const std::string& reason)
        : std::runtime_error("cannot read " + path + ": " + reason) {}

    virtual const char* ClassName() const noexcept { return "EIniFileReadException"; }
};

} // namespace watch
