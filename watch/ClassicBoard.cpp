#include "watch/ClassicBoard.h"

#include "watch/QueryBuilder.h"

#include <utility>

namespace watch {

TClassicBoard::TClassicBoard(IPageFetcher& fetcher, IWatchPanel& panel, std::string origin)
    : scraper_(fetcher, panel), origin_(std::move(origin)) {}

void TClassicBoard::SearchPair(const TPairSearch& pair, ILineList& resultLines,
                               const ILineList& exclusionLines) {
    scraper_.CurrentCompany = pair.Company;
    scraper_.CurrentPosition = pair.Position;
    scraper_.ScrapeResults(SearchURLAt(origin_, pair.Company, pair.RegionText, pair.DateText),
                           resultLines, exclusionLines);
}

} // namespace watch
