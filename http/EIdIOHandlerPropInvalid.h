#pragma once

#include "http/IdResourceStrings.h"
#include "net/IdException.h"

// The connection's IO handler cannot serve the request: an https target needs an SSL IO
// handler, which this program does not have.
class EIdIOHandlerPropInvalid : public EIdException {
public:
    explicit EIdIOHandlerPropInvalid(std::string message = RSIOHandlerPropInvalid)
        : EIdException(std::move(message)) {}

    const char* ClassName() const noexcept override { return "EIdIOHandlerPropInvalid"; }
};
