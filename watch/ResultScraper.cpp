#include "watch/ResultScraper.h"

#include "watch/GbkText.h"
#include "watch/LineList.h"
#include "watch/MarkerText.h"
#include "watch/PageFetcher.h"
#include "watch/WatchPanel.h"

#include <set>
#include <string_view>

namespace watch {
namespace {

// The board's page markers: the whole contract with its HTML.
const std::string ResultListStart = "<div class=\"resultListDiv\">";
const std::string ResultListEnd = "<div class=\"bt_center clearboth\">";
const std::string HeaderRowEnd = "</tr>";
const std::string FirstCell = "<td class=\"td1\">";
const std::string SecondCell = "<td class=\"td2\">";
const std::string LinkStart = "http";
const std::string LinkEnd = "html\"";
const std::string TitleStart = "target=\"_blank\" >";
const std::string TitleEnd = "</a>";
const std::string PagerStart = "navBold";
const std::string NextPagePresent = "pageron.gif";
const std::string NextPageImage = "img src";
const std::string NextPageLink = "href=\"";

const char* const RowSeparator = "===== =====";
const char* const MatchEveryTitle = "*";

// The link runs from the first "http" through "html", without the closing quote.
std::string LinkOf(std::string_view cell) {
    long long from = Pos(LinkStart, cell);
    long long to = Pos(LinkEnd, cell);
    return std::string(CopyView(cell, from, to - from + 4));
}

// Scheme and host name no different page in upper case: they are compared in lower case.
std::string PageKey(const std::string& absoluteURL) {
    size_t hostStart = absoluteURL.find("://");
    if (hostStart == std::string::npos)
        return absoluteURL;
    size_t pathStart = absoluteURL.find('/', hostStart + 3);
    if (pathStart == std::string::npos)
        pathStart = absoluteURL.size();
    return LowerAscii(absoluteURL.substr(0, pathStart)) + absoluteURL.substr(pathStart);
}

std::optional<std::string> NextPageURL(const std::string& page) {
    std::string nav = TextBetween(PagerStart, ResultListStart, page);
    if (Pos(NextPagePresent, nav) == 0)
        return std::nullopt;
    nav = TextAfter(NextPageImage, nav);
    nav = TextAfter(NextPageLink, nav);
    return Copy(nav, 1, Pos("\"", nav) - 1);
}

} // namespace

bool NotExcluded(std::string_view link, const TExclusionSet& excluded) {
    return !excluded.Contains(link);
}

TResultScraper::TResultScraper(IPageFetcher& fetcher, IWatchPanel& panel)
    : fetcher_(&fetcher), panel_(&panel) {}

void TResultScraper::ScrapeResults(const std::string& url, ILineList& resultLines,
                                   const ILineList& exclusionLines) {
    // A row looks its link up here instead of scanning the pane, which may hold many lines.
    const TExclusionSet excluded(exclusionLines);
    // Guards against a pager that names the page itself or an earlier page as its successor,
    // however it writes the link: pages are told apart by the address the client asks for.
    std::set<std::string> fetched;
    std::optional<std::string> next = url;
    while (next && static_cast<int>(fetched.size()) < MaxPages) {
        std::optional<std::string> page = FetchNewPage(*next, fetched);
        if (!page)
            return;
        AppendKeptRows(*page, resultLines, excluded);
        next = NextPageURL(*page);
    }
}

std::optional<std::string> TResultScraper::FetchNewPage(const std::string& url,
                                                        std::set<std::string>& fetched) {
    try {
        if (!fetched.insert(PageKey(fetcher_->AbsoluteURL(url))).second)
            return std::nullopt;
        fetcher_->SetCacheControl("no-cache");
        return fetcher_->Get(url);
    } catch (...) {
        // The user learns only that the network failed; the cause is not shown.
    }
    panel_->ShowMessage(Gbk("出现网络问题！请检查您的网络连接情况。"));
    return std::nullopt;
}

void TResultScraper::AppendKeptRows(const std::string& page, ILineList& resultLines,
                                    const TExclusionSet& excluded) const {
    // A view that moves past each row: cutting a row never copies the rest of the list.
    std::string_view list = TextBetweenView(ResultListStart, ResultListEnd, page);
    list = TextAfterView(HeaderRowEnd, list);
    for (;;) {
        long long first = Pos(FirstCell, list);
        long long second = Pos(SecondCell, list);
        if (first == 0 || second == 0)
            break;
        // TextBetween and TextAfter of the two cell markers, from the positions just found.
        long long firstLength = static_cast<long long>(FirstCell.size());
        std::string_view cell = CopyView(list, first + firstLength, second - first - firstLength);
        list.remove_prefix(static_cast<size_t>(second - 1) + SecondCell.size());
        std::string link = LinkOf(cell);
        std::string title(TextBetweenView(TitleStart, TitleEnd, cell));
        if (!Keeps(title, link, excluded))
            continue;
        resultLines.Add(CurrentCompany);
        resultLines.Add(title);
        resultLines.Add(link);
        resultLines.Add(RowSeparator);
    }
}

bool TResultScraper::Keeps(const std::string& title, const std::string& link,
                           const TExclusionSet& excluded) const {
    bool titleMatches = CurrentPosition == MatchEveryTitle ||
                        Pos(LowerAscii(CurrentPosition), LowerAscii(title)) > 0;
    return titleMatches && NotExcluded(link, excluded);
}

} // namespace watch
