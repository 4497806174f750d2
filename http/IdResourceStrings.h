#pragma once

// The integer conversion text, RSInvalidInteger, is the net layer's.
#include "net/IdResourceStrings.h"

// Fixed texts of the HTTP client layer.

inline constexpr const char* RSHTTPUserAgent = "Mozilla/3.0 (compatible; Quorvel HTTP)";
inline constexpr const char* RSHTTPUndefinedSituation = "Undefined situation";
inline constexpr const char* RSHTTPMethodRequiresVersion =
    "This request method is supported in HTTP 1.1";
inline constexpr const char* RSHTTPChunkStarted = "Chunk Started";
inline constexpr const char* RSIOHandlerPropInvalid = "IOHandler value is not valid";
inline constexpr const char* RSHTTPUnsafeURL = "Request URL contains a CR, LF or NUL byte";
inline constexpr const char* RSHTTPUnsafeHeader = "Request header contains a CR, LF or NUL byte";
inline constexpr const char* RSHTTPBodyTooLarge =
    "Response body is larger than 64 MiB, the most held in memory";

inline constexpr const char* RSURIProtocolFieldEmpty = "Protocol field is empty";
inline constexpr const char* RSURIHostFieldEmpty = "Host field is empty";
inline constexpr const char* RSFailedTimeZoneInfo =
    "Failed attempting to retrieve time zone information.";
inline constexpr const char* RSIndexOutOfRange = "Index out of range.";
