#pragma once

#include "http/IdResourceStrings.h"
#include "net/IdException.h"

// A response body that outgrew what the client holds in memory; the peer decides a body's
// size, so only a body written to a stream of the caller's may be larger.
class EIdResponseBodyTooLarge : public EIdException {
public:
    EIdResponseBodyTooLarge() : EIdException(RSHTTPBodyTooLarge) {}

    const char* ClassName() const noexcept override { return "EIdResponseBodyTooLarge"; }
};
