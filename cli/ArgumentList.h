#pragma once

#include <string>
#include <utility>
#include <vector>

// The arguments of a command, taken one at a time: an option, then its value.
class TArgumentList {
public:
    explicit TArgumentList(std::vector<std::string> arguments) : arguments_(std::move(arguments)) {}

    bool More() const { return next_ < arguments_.size(); }
    // The next argument; only while More().
    const std::string& Next() { return arguments_[next_++]; }
    // The argument after `option`, just taken with Next(). Throws EUsageError when the
    // arguments end there.
    const std::string& ValueOf(const std::string& option);

private:
    std::vector<std::string> arguments_;
    size_t next_ = 0;
};
