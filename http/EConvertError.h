#pragma once

#include <stdexcept>
#include <string>

// Raised by the strict integer conversion when a text is not a valid integer.  It is a
// general run-time error, not one of the client's own exceptions.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;

    virtual const char* ClassName() const noexcept { return "EConvertError"; }
};
