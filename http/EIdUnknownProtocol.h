#pragma once

#include "net/IdException.h"

// A URL without a port whose protocol is neither http nor https. The message is empty.
class EIdUnknownProtocol : public EIdException {
public:
    using EIdException::EIdException;

    const char* ClassName() const noexcept override { return "EIdUnknownProtocol"; }
};
