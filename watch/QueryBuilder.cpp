#include "watch/QueryBuilder.h"

#include "watch/MarkerText.h"
#include "watch/ResultScraper.h"
#include "watch/WatchChoices.h"

#include <algorithm>
#include <vector>

namespace watch {
namespace {

// The board's search endpoint after its scheme and host.
const char* const QueryTemplate =
    "/jobsearch/search_result.php?fromJs=1&jobarea=#ja#&funtype=0000&industrytype=00"
    "&issuedate=#id#&providesalary=99&keyword=#kw#&keywordtype=0&lang=c&stype=2&workyear=99"
    "&cotype=99&degreefrom=99&jobterm=01&fromType=1";

template <typename Choice>
std::string CodeOf(const std::vector<Choice>& table, const std::string& text) {
    auto row = std::find_if(table.begin(), table.end(),
                            [&](const Choice& choice) { return choice.Text == text; });
    return row == table.end() ? std::string() : row->Code;
}

void ReplaceAll(std::string& text, const std::string& placeholder, const std::string& value) {
    for (size_t at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + value.size()))
        text.replace(at, placeholder.size(), value);
}

} // namespace

std::string RegionCode(const std::string& regionText) {
    return CodeOf(RegionTable(), regionText);
}

std::string DateCode(const std::string& dateText) {
    return CodeOf(DateWindowTable(), dateText);
}

std::string SearchURL(const std::string& boardHost, const std::string& company,
                      const std::string& regionText, const std::string& dateText) {
    return SearchURLAt("http://" + boardHost, company, regionText, dateText);
}

std::string SearchURLAt(const std::string& origin, const std::string& company,
                        const std::string& regionText, const std::string& dateText) {
    std::string url = origin + QueryTemplate;
    ReplaceAll(url, "#kw#", PercentHex(company));
    ReplaceAll(url, "#ja#", RegionCode(regionText));
    ReplaceAll(url, "#id#", DateCode(dateText));
    return url;
}

void SearchCompany(TResultScraper& scraper, const std::string& boardHost,
                   const std::string& company, const std::string& regionText,
                   const std::string& dateText, ILineList& resultLines,
                   const ILineList& exclusionLines) {
    scraper.ScrapeResults(SearchURL(boardHost, company, regionText, dateText), resultLines,
                          exclusionLines);
}

} // namespace watch
