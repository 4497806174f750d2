#include "watch/ResultScraper.h"

#include "watch/GbkText.h"
#include "watch/LineList.h"
#include "watch/MarkerText.h"
#include "watch/PageFetcher.h"
#include "watch/WatchPanel.h"

#include <string_view>
#include <utility>

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

// Both cell markers begin with this; it holds no second "<", so its occurrences never overlap.
const std::string CellMarkerStart = "<td class=\"td";

const std::string RowSeparator = "===== =====";
const char* const MatchEveryTitle = "*";

// The link runs from the first "http" through "html", without the closing quote.
std::string_view LinkOf(std::string_view cell) {
    long long from = Pos(LinkStart, cell);
    long long to = Pos(LinkEnd, cell);
    return CopyView(cell, from, to - from + 4);
}

// Pos of the first-cell and of the second-cell marker in `list`, found in one scan for what
// both begin with instead of two scans over the same bytes. A position stays 0 when its marker
// does not occur.
struct TCellMarkers {
    long long First = 0;
    long long Second = 0;
};

TCellMarkers FindCellMarkers(std::string_view list) {
    TCellMarkers found;
    size_t from = 0;
    while (found.First == 0 || found.Second == 0) {
        int at = Pos(CellMarkerStart, list.substr(from));
        if (at == 0)
            break;
        size_t start = from + static_cast<size_t>(at) - 1;
        std::string_view marker = list.substr(start, FirstCell.size());
        if (found.First == 0 && marker == FirstCell)
            found.First = static_cast<long long>(start) + 1;
        else if (found.Second == 0 && marker == SecondCell)
            found.Second = static_cast<long long>(start) + 1;
        from = start + CellMarkerStart.size();
    }
    return found;
}

// A scheme or host written in capitals names the same page: both are compared in lower case.
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
    const std::string loweredPosition = LowerAscii(CurrentPosition);
    // Guards against a pager that names the page itself or an earlier page as its successor,
    // however it writes the link: pages are told apart by the address the client asks for.
    std::set<std::string> fetched;
    std::optional<std::string> next = url;
    while (next && static_cast<int>(fetched.size()) < MaxPages) {
        std::optional<std::string> page = FetchNewPage(*next, fetched);
        if (!page)
            return;
        AppendKeptRows(*page, resultLines, excluded, loweredPosition);
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
                                    const TExclusionSet& excluded,
                                    const std::string& loweredPosition) const {
    const bool everyTitle = CurrentPosition == MatchEveryTitle;
    std::string loweredTitle; // one buffer for every row's title
    // A view that moves past each row: cutting a row never copies the rest of the list.
    std::string_view list = TextBetweenView(ResultListStart, ResultListEnd, page);
    list = TextAfterView(HeaderRowEnd, list);
    for (;;) {
        TCellMarkers markers = FindCellMarkers(list);
        if (markers.First == 0 || markers.Second == 0)
            break;
        // TextBetween and TextAfter of the two cell markers, from the positions just found.
        long long firstLength = static_cast<long long>(FirstCell.size());
        std::string_view cell = CopyView(list, markers.First + firstLength,
                                         markers.Second - markers.First - firstLength);
        list.remove_prefix(static_cast<size_t>(markers.Second - 1) + SecondCell.size());
        // Only what a row needs is cut out, and only a kept row is copied.
        std::string_view title = TextBetweenView(TitleStart, TitleEnd, cell);
        if (!everyTitle) {
            loweredTitle.assign(title);
            loweredTitle = LowerAscii(std::move(loweredTitle));
            if (Pos(loweredPosition, loweredTitle) == 0)
                continue;
        }
        std::string_view link = LinkOf(cell);
        if (!NotExcluded(link, excluded))
            continue;
        resultLines.Add(CurrentCompany);
        resultLines.Add(std::string(title));
        resultLines.Add(std::string(link));
        resultLines.Add(RowSeparator);
    }
}

} // namespace watch
