#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace watch {

// One posting of a JSON board, read field by field as the search needs them: most postings
// are left out by their title alone. Texts are UTF-8 views into the parsed body, valid until
// the board fetches again. A field that is missing or of another type is nothing.
class IJsonPosting {
public:
    virtual ~IJsonPosting() = default;

    virtual std::optional<std::string_view> Title() const = 0;
    virtual std::optional<std::string_view> Link() const = 0;
    virtual std::optional<std::string_view> Location() const = 0;
    // Seconds since 1970 (UTC).
    virtual std::optional<std::int64_t> PublishedAt() const = 0;
};

} // namespace watch
