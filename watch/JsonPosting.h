#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace watch {

// One posting of a JSON board as its board reads it: UTF-8 views into the parsed body, valid
// until the board fetches again. A field that is missing or of another type is nothing.
struct TJsonPosting {
    std::optional<std::string_view> Title;
    std::optional<std::string_view> Link;
    std::optional<std::string_view> Location;
    // Seconds since 1970 (UTC).
    std::optional<std::int64_t> PublishedAt;
};

} // namespace watch
