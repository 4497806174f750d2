#pragma once

#include <string>
#include <vector>

namespace watch {

// A choice of a selector and the board's code for it.
struct TCodedChoice {
    std::string Text;
    std::string Code;
};

// A choice of the polling-interval selector and its interval.
struct TIntervalChoice {
    std::string Text;
    int Milliseconds;
};

// The regions of comboCity with the board's area codes, in the selector's order.
const std::vector<TCodedChoice>& RegionTable();
// The publication-date windows of comboPubDate with the board's date codes.
const std::vector<TCodedChoice>& DateWindowTable();
// The polling intervals of comboSearchTime, by selected index.
const std::vector<TIntervalChoice>& IntervalTable();

// The item texts of the three selectors, in order (GBK).
std::vector<std::string> SearchTimeItems();
std::vector<std::string> CityItems();
std::vector<std::string> PubDateItems();

} // namespace watch
