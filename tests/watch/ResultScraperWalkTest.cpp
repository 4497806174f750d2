// The scraper walks the result list through views instead of copying the rest of the list at
// every row; these tests hold it to the plain walk by TextBetween and TextAfter copies.

#include "watch/ResultScraper.h"

#include "FakePageFetcher.h"
#include "watch/GbkText.h"
#include "watch/MarkerText.h"
#include "watch/MemoryWatchPanel.h"

#include <gtest/gtest.h>

using namespace watch;

namespace {

const std::string ListStart = "<div class=\"resultListDiv\">";
const std::string ListEnd = "<div class=\"bt_center clearboth\">";
const std::string FirstCell = "<td class=\"td1\">";
const std::string SecondCell = "<td class=\"td2\">";

// The rows of `page` as (link, title) pairs, cut the straightforward way.
std::vector<std::string> PlainWalk(const std::string& company, const std::string& page) {
    std::vector<std::string> lines;
    std::string list = TextAfter("</tr>", TextBetween(ListStart, ListEnd, page));
    while (Pos(FirstCell, list) > 0 && Pos(SecondCell, list) > 0) {
        std::string cell = TextBetween(FirstCell, SecondCell, list);
        list = TextAfter(SecondCell, list);
        long long from = Pos("http", cell);
        long long to = Pos("html\"", cell);
        lines.insert(lines.end(), {company, TextBetween("target=\"_blank\" >", "</a>", cell),
                                   Copy(cell, from, to - from + 4), "===== ====="});
    }
    return lines;
}

std::vector<std::string> Scraped(const std::string& page) {
    TFakePageFetcher fetcher;
    fetcher.Pages["http://board/p1"] = page;
    TMemoryWatchPanel panel;
    TResultScraper scraper(fetcher, panel);
    scraper.CurrentCompany = "Acme";
    scraper.CurrentPosition = "*";
    scraper.ScrapeResults("http://board/p1", panel.memoResult(), panel.memoFilter());
    return panel.memoResult().Lines();
}

std::string Row(const std::string& link, const std::string& title) {
    return "<tr>" + FirstCell + "<a href=\"" + link + "\" target=\"_blank\" >" + title +
           "</a></td>" + SecondCell + "co</td></tr>";
}

} // namespace

TEST(ResultScraperWalk, MangledRowsComeOutAsThePlainWalkCutsThem) {
    std::vector<std::string> lists = {
        // ordinary rows, a GBK title, a row without an end-of-link marker
        Row("http://b/1.html", "Java") + Row("http://b/2.html", Gbk("北京工程师")) +
            Row("http://b/3.htm", "No end"),
        // a second-cell marker before the first one, an empty cell, back-to-back markers
        SecondCell + "stray" + Row("http://b/4.html", "A") + FirstCell + SecondCell + SecondCell +
            Row("http://b/5.html", "B"),
        // a first-cell marker with no second one after it, and markers cut at the list end
        Row("http://b/6.html", "C") + FirstCell + "<a href=\"http://b/7.html\"",
        // the two markers overlapping the header row's end, and nothing but markers
        FirstCell + SecondCell + FirstCell + "http" + SecondCell,
        "",
    };
    for (const std::string& list : lists) {
        std::string page =
            "<html>" + ListStart + "<table><tr><th>t</th></tr>" + list + ListEnd + "</html>";
        EXPECT_EQ(Scraped(page), PlainWalk("Acme", page)) << list;
    }
}

TEST(ResultScraperWalk, ALargePageKeepsEveryRowInOrder) {
    std::string rows;
    for (int n = 0; n < 5000; ++n)
        rows += Row("http://b/" + std::to_string(n) + ".html", "Title " + std::to_string(n));
    std::string page = ListStart + "<tr></tr>" + rows + ListEnd;
    std::vector<std::string> lines = Scraped(page);
    ASSERT_EQ(lines.size(), 4u * 5000);
    EXPECT_EQ(lines[4 * 4321 + 1], "Title 4321");
    EXPECT_EQ(lines[4 * 4999 + 2], "http://b/4999.html");
    EXPECT_EQ(lines, PlainWalk("Acme", page));
}
