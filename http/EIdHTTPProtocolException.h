#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "net/IdException.h"

// A reply of a protocol peer that the client does not accept.
class EIdProtocolReplyError : public EIdException {
public:
    using EIdException::EIdException;

    const char* ClassName() const noexcept override { return "EIdProtocolReplyError"; }
};

// A status that the HTTP client does not accept. The message is the status line as it
// arrived; ErrorBody is the body of that response.
class EIdHTTPProtocolException : public EIdProtocolReplyError {
public:
    EIdHTTPProtocolException(std::int32_t errorCode, std::string statusLine, std::string errorBody)
        : EIdProtocolReplyError(std::move(statusLine)), errorCode_(errorCode),
          errorBody_(std::move(errorBody)) {}

    const char* ClassName() const noexcept override { return "EIdHTTPProtocolException"; }

    // The status code, -1 when the status line holds none.
    std::int32_t ErrorCode() const noexcept { return errorCode_; }
    const std::string& ErrorBody() const noexcept { return errorBody_; }

private:
    std::int32_t errorCode_;
    std::string errorBody_;
};
