#pragma once

#include <string>
#include <vector>

// One result row of a board page: the title cell's link and title (GBK).
struct TBoardRow {
    std::string Link;
    std::string Title;
};

// A search-results page of the job board as it arrives: GBK bytes with the board's markers,
// a header row, the given rows and a pager that links to `nextPage` when it is not empty.
std::string BoardPage(const std::vector<TBoardRow>& rows, const std::string& nextPage = "");

// A row whose title cell is given verbatim, for rows the board mangles.
std::string BoardRowHtml(const std::string& firstCell);
