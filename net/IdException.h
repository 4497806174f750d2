#pragma once

#include "net/IdResourceStrings.h"

#include <cstdint>
#include <exception>
#include <string>
#include <utility>

// Root of every exception the HTTP client and its transport raise.  Each class
// names itself so that callers (the command-line tool) can report which one arrived.
class EIdException : public std::exception {
public:
    explicit EIdException(std::string message = {}) : message_(std::move(message)) {}

    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const noexcept { return message_; }
    virtual const char* ClassName() const noexcept { return "EIdException"; }

private:
    std::string message_;
};

// Declares an exception class below `Base` whose message defaults to `DefaultMessage`.
#define QUORVEL_DECLARE_EXCEPTION(Name, Base, DefaultMessage)                                      \
    class Name : public Base {                                                                     \
    public:                                                                                        \
        explicit Name(std::string message = DefaultMessage) : Base(std::move(message)) {}          \
        const char* ClassName() const noexcept override { return #Name; }                          \
    }

// An exception that ends an operation without being an error worth showing on its own.
QUORVEL_DECLARE_EXCEPTION(EIdSilentException, EIdException, "");

// TCP connection.
QUORVEL_DECLARE_EXCEPTION(EIdConnClosedGracefully, EIdSilentException,
                          RSConnectionClosedGracefully);
QUORVEL_DECLARE_EXCEPTION(EIdReadTimeout, EIdException, RSReadTimeout);
QUORVEL_DECLARE_EXCEPTION(EIdReadLnMaxLineLengthExceeded, EIdException,
                          RSReadLnMaxLineLengthExceeded);
QUORVEL_DECLARE_EXCEPTION(EIdTCPConnectionError, EIdException, "");
QUORVEL_DECLARE_EXCEPTION(EIdNotConnected, EIdTCPConnectionError, RSNotConnected);
QUORVEL_DECLARE_EXCEPTION(EIdNotEnoughDataInBuffer, EIdTCPConnectionError, RSNotEnoughDataInBuffer);
QUORVEL_DECLARE_EXCEPTION(EIdNoDataToRead, EIdTCPConnectionError, RSNoDataToRead);
QUORVEL_DECLARE_EXCEPTION(EIdAlreadyConnected, EIdException, RSAlreadyConnected);
QUORVEL_DECLARE_EXCEPTION(EIdConnectTimeout, EIdException, RSConnectTimeout);
// Carries the message of whatever the connect thread caught.
QUORVEL_DECLARE_EXCEPTION(EIdConnectException, EIdException, "");
QUORVEL_DECLARE_EXCEPTION(EIdClosedSocket, EIdException, RSClosedSocket);

// TLS.
QUORVEL_DECLARE_EXCEPTION(EIdTLSError, EIdException, RSTLSTruncated);
QUORVEL_DECLARE_EXCEPTION(EIdTLSHandshakeError, EIdTLSError, "");
QUORVEL_DECLARE_EXCEPTION(EIdTLSCertificateError, EIdTLSError, "");

// Socket stack.
QUORVEL_DECLARE_EXCEPTION(EIdStackError, EIdException, "");
QUORVEL_DECLARE_EXCEPTION(EIdStackInitializationFailed, EIdStackError,
                          RSWinsockInitializationError);
QUORVEL_DECLARE_EXCEPTION(EIdStackSetSizeExceeded, EIdStackError, RSSetSizeExceeded);
QUORVEL_DECLARE_EXCEPTION(EIdInvalidSocket, EIdException, RSCannotAllocateSocket);
QUORVEL_DECLARE_EXCEPTION(EIdInvalidServiceName, EIdException, "");

// Socket object.
QUORVEL_DECLARE_EXCEPTION(EIdSocketHandleError, EIdException, "");
QUORVEL_DECLARE_EXCEPTION(EIdCouldNotBindSocket, EIdSocketHandleError, RSCouldNotBindSocket);
QUORVEL_DECLARE_EXCEPTION(EIdCanNotBindPortInRange, EIdSocketHandleError, "");
QUORVEL_DECLARE_EXCEPTION(EIdInvalidPortRange, EIdSocketHandleError, "");

#undef QUORVEL_DECLARE_EXCEPTION

// A failed socket call: the socket error code and the message made from it.
class EIdSocketError : public EIdException {
public:
    EIdSocketError(int lastError, std::string message)
        : EIdException(std::move(message)), lastError_(lastError) {}

    int LastError() const noexcept { return lastError_; }
    const char* ClassName() const noexcept override { return "EIdSocketError"; }

private:
    int lastError_;
};

// The socket library could not be loaded, or one of its functions was called before it was.
class EIdWS2StubError : public EIdException {
public:
    EIdWS2StubError(std::string title, std::uint32_t win32Error, std::string sysErrorText)
        : EIdException(win32Error == 0 ? title : title + ": " + sysErrorText),
          title_(std::move(title)), win32Error_(win32Error),
          sysErrorText_(std::move(sysErrorText)) {}

    const std::string& Title() const noexcept { return title_; }
    std::uint32_t Win32Error() const noexcept { return win32Error_; }
    const std::string& SysErrorText() const noexcept { return sysErrorText_; }
    const char* ClassName() const noexcept override { return "EIdWS2StubError"; }

private:
    std::string title_;
    std::uint32_t win32Error_;
    std::string sysErrorText_;
};
