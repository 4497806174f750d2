#pragma once

#include <string_view>

#include "net/IdException.h"

// A request target or header value holding CR, LF or NUL. Written out, such a byte would end
// the line early and let the rest pass for lines of its own, even for another request.
class EIdUnsafeRequestText : public EIdException {
public:
    using EIdException::EIdException;

    const char* ClassName() const noexcept override { return "EIdUnsafeRequestText"; }
};

// Raises EIdUnsafeRequestText with message when text holds CR, LF or NUL.
inline void RefuseUnsafeRequestText(std::string_view text, const char* message) {
    if (text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
        throw EIdUnsafeRequestText(message);
    }
}
