#pragma once

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
