#pragma once

// The integer conversion text, RSInvalidInteger, is the net layer's.
#include "net/IdResourceStrings.h"

// Fixed texts of the HTTP client layer.

inline constexpr const char* RSURIProtocolFieldEmpty = "Protocol field is empty";
inline constexpr const char* RSURIHostFieldEmpty = "Host field is empty";
inline constexpr const char* RSFailedTimeZoneInfo =
    "Failed attempting to retrieve time zone information.";
inline constexpr const char* RSIndexOutOfRange = "Index out of range.";
