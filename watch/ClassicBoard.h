#pragma once

#include "watch/JobBoard.h"
#include "watch/ResultScraper.h"

#include <string>

namespace watch {

class IPageFetcher;
class IWatchPanel;

// The board of the search-results page: the query builder's URL, walked by the scraper.
class TClassicBoard : public IJobBoard {
public:
    // `origin` is the scheme, host and optional port with any base path ("http://HOST:PORT").
    // `fetcher` and `panel` are borrowed and must outlive the board.
    TClassicBoard(IPageFetcher& fetcher, IWatchPanel& panel, std::string origin);

    void SearchPair(const TPairSearch& pair, ILineList& resultLines,
                    const ILineList& exclusionLines) override;

private:
    TResultScraper scraper_;
    std::string origin_;
};

} // namespace watch
