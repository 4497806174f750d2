#pragma once

#include <string>

namespace watch {

class ILineList;
class TResultScraper;

// The board's area code of a region name (exact bytes); empty for an unknown region.
std::string RegionCode(const std::string& regionText);
// The board's date code of a publication-date window (exact bytes); empty when unknown.
std::string DateCode(const std::string& dateText);

// The search-results URL on the board at `boardHost` (HOST or HOST:PORT) for one company
// keyword in a region and date window. Unknown region or date texts leave their parameter
// present with an empty value.
std::string SearchURL(const std::string& boardHost, const std::string& company,
                      const std::string& regionText, const std::string& dateText);
// The same URL on the board at `origin`: scheme, host, optional port and base path
// ("https://HOST:PORT/base").
std::string SearchURLAt(const std::string& origin, const std::string& company,
                        const std::string& regionText, const std::string& dateText);

// Asks the board at `boardHost` for `company`'s postings and lets `scraper` append the kept
// rows. `company` is the trimmed company keyword; the region and date texts are the
// selectors' edit texts.
void SearchCompany(TResultScraper& scraper, const std::string& boardHost,
                   const std::string& company, const std::string& regionText,
                   const std::string& dateText, ILineList& resultLines,
                   const ILineList& exclusionLines);

} // namespace watch
