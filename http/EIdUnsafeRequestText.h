#pragma once

#include <algorithm>
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
    // One pass over the bytes: find_first_of would search the three bytes for each of them.
    const auto unsafe = [](char byte) { return byte == '\r' || byte == '\n' || byte == '\0'; };
    if (std::any_of(text.begin(), text.end(), unsafe)) {
        throw EIdUnsafeRequestText(message);
    }
}
