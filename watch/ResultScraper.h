#pragma once

#include "watch/ExclusionSet.h"

#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace watch {

class ILineList;
class IPageFetcher;
class IWatchPanel;

// True unless some line of the exclusion pane equals `link` byte for byte.
bool NotExcluded(std::string_view link, const TExclusionSet& excluded);

// Fetches result pages of the job board, cuts the rows out by the board's fixed markers,
// and appends every row that matches the current pair as four lines: company, title, link,
// and a separator line.
class TResultScraper {
public:
    // At most this many pages are fetched for one search.
    static constexpr int MaxPages = 200;

    // `fetcher` and `panel` are borrowed and must outlive the scraper; the panel only
    // shows the message of a failed fetch.
    TResultScraper(IPageFetcher& fetcher, IWatchPanel& panel);

    // The pair being searched, trimmed; set by the search run before each pair.
    std::string CurrentCompany;
    std::string CurrentPosition;

    // Scrapes `url` and every page that follows it through the pager. A failed fetch shows
    // one message box and ends the walk; rows of the earlier pages stay. A next-page link
    // to a page already fetched ends the walk silently, as does the page limit.
    void ScrapeResults(const std::string& url, ILineList& resultLines,
                       const ILineList& exclusionLines);

private:
    // The page at `url`, or nothing when `fetched` holds its address already or the fetch
    // failed (after the message box); the address joins `fetched`.
    std::optional<std::string> FetchNewPage(const std::string& url, std::set<std::string>& fetched);
    void AppendKeptRows(const std::string& page, ILineList& resultLines,
                        const TExclusionSet& excluded) const;
    bool Keeps(const std::string& title, const std::string& link,
               const TExclusionSet& excluded) const;

    IPageFetcher* fetcher_;
    IWatchPanel* panel_;
};

} // namespace watch
