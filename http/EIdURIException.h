#pragma once

#include "net/IdException.h"

// Raised when a URI cannot be composed from its parts.
class EIdURIException : public EIdException {
public:
    using EIdException::EIdException;

    const char* ClassName() const noexcept override { return "EIdURIException"; }
};
