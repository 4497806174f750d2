#pragma once

#include "watch/IsoTime.h"

#include <simdjson.h>

#include <cstdint>
#include <optional>
#include <string_view>

namespace watch {

// The string at `key` of `object`; nothing when `object` is no object, or the key is missing
// or holds another type.
inline std::optional<std::string_view> JsonText(simdjson::dom::element object, const char* key) {
    std::string_view text;
    if (object.at_key(key).get(text) != simdjson::SUCCESS)
        return std::nullopt;
    return text;
}

// The string at `key` of the object at `outerKey` of `object`, as JsonText.
inline std::optional<std::string_view> JsonInnerText(simdjson::dom::element object,
                                                     const char* outerKey, const char* key) {
    simdjson::dom::element inner;
    if (object.at_key(outerKey).get(inner) != simdjson::SUCCESS)
        return std::nullopt;
    return JsonText(inner, key);
}

// The instant of the ISO 8601 text at `key`; nothing when missing, mistyped or unreadable.
inline std::optional<std::int64_t> JsonIsoTime(simdjson::dom::element object, const char* key) {
    std::optional<std::string_view> text = JsonText(object, key);
    return text ? IsoTimeSeconds(*text) : std::nullopt;
}

} // namespace watch
