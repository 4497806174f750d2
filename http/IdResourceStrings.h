#pragma once

// Fixed texts of the HTTP client layer.  The integer conversion text, shared with the
// transport, is in net/IdResourceStrings.h.

#include "net/IdResourceStrings.h"

inline constexpr const char* RSHTTPUserAgent = "Mozilla/3.0 (compatible; Quorvel HTTP)";
inline constexpr const char* RSHTTPUndefinedSituation = "Undefined situation";
inline constexpr const char* RSHTTPMethodRequiresVersion =
    "This request method is supported in HTTP 1.1";
inline constexpr const char* RSHTTPChunkStarted = "Chunk Started";

inline constexpr const char* RSURIProtocolFieldEmpty = "Protocol field is empty";
inline constexpr const char* RSURIHostFieldEmpty = "Host field is empty";
inline constexpr const char* RSFailedTimeZoneInfo =
    "Failed attempting to retrieve time zone information.";
inline constexpr const char* RSIndexOutOfRange = "Index out of range.";
