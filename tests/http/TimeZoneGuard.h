#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

// Puts the process in the given POSIX time zone for one test and restores the previous one.
class TimeZoneGuard {
public:
    explicit TimeZoneGuard(const char* zone) {
        if (const char* previous = std::getenv("TZ")) {
            saved_ = previous;
        }
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TimeZoneGuard() {
        if (saved_) {
            setenv("TZ", saved_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }
    TimeZoneGuard(const TimeZoneGuard&) = delete;
    TimeZoneGuard& operator=(const TimeZoneGuard&) = delete;

private:
    std::optional<std::string> saved_;
};
