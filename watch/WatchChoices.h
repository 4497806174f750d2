#pragma once

#include <string>
#include <vector>

namespace watch {

// A choice of a selector and the board's code for it.
struct TCodedChoice {
    std::string Text;
    std::string Code;
};

// A region of comboCity: its name, the board's area code, and the names by which a posting's
// location names it (UTF-8, ASCII in lower case): the region itself and its chief cities, in
// Chinese and English.
struct TRegion {
    std::string Text;
    std::string Code;
    std::vector<std::string> Places;
};

// A choice of the polling-interval selector and its interval.
struct TIntervalChoice {
    std::string Text;
    int Milliseconds;
};

// The regions of comboCity with the board's area codes, in the selector's order.
const std::vector<TRegion>& RegionTable();

// Whether a posting's `location` (UTF-8) lies in the region `regionText` (program text), by
// the region's place names, compared without regard to ASCII case. "国外" takes a location
// that names no other region; a text that is no region takes every location.
bool LocationInRegion(const std::string& location, const std::string& regionText);
// The publication-date windows of comboPubDate with the board's date codes.
const std::vector<TCodedChoice>& DateWindowTable();
// The polling intervals of comboSearchTime, by selected index.
const std::vector<TIntervalChoice>& IntervalTable();

// The item texts of the three selectors, in order (GBK).
std::vector<std::string> SearchTimeItems();
std::vector<std::string> CityItems();
std::vector<std::string> PubDateItems();

} // namespace watch
