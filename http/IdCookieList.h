#pragma once

#include "http/IdGlobal.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// An ordered list of (key, object) pairs, looked up by key without regard to case.  A new pair
// goes to the end and positions change only by deletion.
template <typename Object> class TIdCookieList {
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    std::size_t Count() const { return items_.size(); }
    const std::string& KeyAt(std::size_t index) const { return items_.at(index).first; }
    Object& ObjectAt(std::size_t index) { return items_.at(index).second; }
    const Object& ObjectAt(std::size_t index) const { return items_.at(index).second; }

    // Index of the first pair whose key equals key, or npos.
    std::size_t IndexOf(std::string_view key) const {
        const auto found = std::find_if(items_.begin(), items_.end(), [key](const auto& item) {
            return SameText(item.first, key);
        });
        return found == items_.end() ? npos : static_cast<std::size_t>(found - items_.begin());
    }

    void Add(std::string key, Object object) {
        items_.emplace_back(std::move(key), std::move(object));
    }

    void Delete(std::size_t index) {
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
    }

private:
    std::vector<std::pair<std::string, Object>> items_;
};
