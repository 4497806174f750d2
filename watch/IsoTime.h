#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace watch {

// Seconds since 1970-01-01 00:00 UTC of an ISO 8601 date and time with its offset:
// "2026-12-08T10:00:00-05:00", "2026-12-08T15:00:00.123Z", "2026-12-08T15:00:00+0800".
// Nothing for any other text, a time without an offset included (it names no instant).
std::optional<std::int64_t> IsoTimeSeconds(std::string_view text);

} // namespace watch
