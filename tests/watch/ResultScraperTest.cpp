#include "watch/ResultScraper.h"

#include "BoardPage.h"
#include "FakePageFetcher.h"
#include "watch/GbkText.h"
#include "watch/MemoryWatchPanel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace watch;
using ::testing::ElementsAre;

namespace {

const std::string FirstPage = "http://board/search?p=1";

class ResultScraperTest : public ::testing::Test {
protected:
    ResultScraperTest() : scraper(fetcher, panel) { scraper.CurrentCompany = "IBM"; }

    // Scrapes FirstPage for `position` and returns the result lines.
    std::vector<std::string> Scrape(const std::string& position) {
        scraper.CurrentPosition = position;
        scraper.ScrapeResults(FirstPage, panel.memoResult(), panel.memoFilter());
        return panel.memoResult().Lines();
    }

    // Pages 1 to `count` at ".../p=1" and so on, each with one row titled "Java <n>".
    void ServeChain(int count) {
        for (int n = 1; n <= count; ++n) {
            std::string next = n < count ? "http://board/search?p=" + std::to_string(n + 1) : "";
            fetcher.Pages["http://board/search?p=" + std::to_string(n)] = BoardPage(
                {{"http://board/job/" + std::to_string(n) + ".html", "Java " + std::to_string(n)}},
                next);
        }
    }

    TFakePageFetcher fetcher;
    TMemoryWatchPanel panel;
    TResultScraper scraper;
};

const std::vector<TBoardRow> MixedRows = {
    {"http://board/job/1.html", Gbk("高级Java开发工程师")},
    {"http://board/job/2.html", Gbk("C++工程师")},
    {"http://board/job/3.html", "JAVA Architect"},
};

} // namespace

TEST_F(ResultScraperTest, KeepsTitlesContainingThePositionWhateverTheirCase) {
    fetcher.Pages[FirstPage] = BoardPage(MixedRows);
    std::vector<std::string> expected = {
        "IBM", Gbk("高级Java开发工程师"), "http://board/job/1.html", "===== =====",
        "IBM", "JAVA Architect",          "http://board/job/3.html", "===== =====",
    };
    EXPECT_EQ(Scrape("java"), expected);
    panel.memoResult().Clear();
    EXPECT_EQ(Scrape("JaVa"), expected);
    EXPECT_THAT(fetcher.CacheControlAtGet, ElementsAre("no-cache", "no-cache"));
    EXPECT_TRUE(panel.Messages.empty());
}

TEST_F(ResultScraperTest, MatchesChineseKeywordsAndMarkupInsideTitles) {
    fetcher.Pages[FirstPage] = BoardPage({
        {"http://board/job/1.html", "<b>" + Gbk("工程师") + "</b>"},
        {"http://board/job/2.html", Gbk("销售经理")},
    });
    EXPECT_THAT(Scrape(Gbk("工程")), ElementsAre("IBM", "<b>" + Gbk("工程师") + "</b>",
                                                 "http://board/job/1.html", "===== ====="));
}

TEST_F(ResultScraperTest, StarKeepsEveryRowThatIsNotExcluded) {
    fetcher.Pages[FirstPage] = BoardPage(MixedRows);
    panel.memoFilter().Add("http://board/job/2.html");
    std::vector<std::string> lines = Scrape("*");
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[2], "http://board/job/1.html");
    EXPECT_EQ(lines[6], "http://board/job/3.html");
}

TEST_F(ResultScraperTest, ExclusionComparesLinksExactly) {
    fetcher.Pages[FirstPage] = BoardPage(MixedRows);
    panel.memoFilter().Add("http://board/job/1.html ");
    panel.memoFilter().Add("HTTP://BOARD/JOB/3.HTML");
    EXPECT_EQ(Scrape("java").size(), 8u);

    panel.memoResult().Clear();
    panel.memoFilter().Add("http://board/job/3.html");
    EXPECT_THAT(Scrape("java"), ElementsAre("IBM", Gbk("高级Java开发工程师"),
                                            "http://board/job/1.html", "===== ====="));
}

TEST_F(ResultScraperTest, ExclusionsHoldOnEveryPageOfTheWalk) {
    ServeChain(3);
    panel.memoFilter().Add("http://board/job/3.html");
    panel.memoFilter().Add("http://board/job/2.html");
    EXPECT_THAT(Scrape("java"),
                ElementsAre("IBM", "Java 1", "http://board/job/1.html", "===== ====="));
}

TEST_F(ResultScraperTest, RowWithoutLinkEndIsStillMatchedAndPrinted) {
    fetcher.Pages[FirstPage] = BoardPage({});
    std::string page = fetcher.Pages[FirstPage];
    std::string row =
        BoardRowHtml("<a href=\"http://board/job?id=7\" target=\"_blank\" >Java dev</a>");
    page.insert(page.find("</table>"), row);
    fetcher.Pages[FirstPage] = page;
    EXPECT_THAT(Scrape("java"), ElementsAre("IBM", "Java dev", "", "===== ====="));
}

TEST_F(ResultScraperTest, PageWithoutRowsStillFollowsThePager) {
    ServeChain(2);
    fetcher.Pages[FirstPage] = BoardPage({}, "http://board/search?p=2");
    EXPECT_THAT(Scrape("java"),
                ElementsAre("IBM", "Java 2", "http://board/job/2.html", "===== ====="));
}

TEST_F(ResultScraperTest, PageWithoutMarkersYieldsNothing) {
    fetcher.Pages[FirstPage] = "<html><body>" + Gbk("系统维护中") + "</body></html>";
    EXPECT_TRUE(Scrape("*").empty());
    EXPECT_EQ(fetcher.Requested.size(), 1u);
    EXPECT_TRUE(panel.Messages.empty());
}

TEST_F(ResultScraperTest, FollowsNextPagesInOrder) {
    ServeChain(3);
    std::vector<std::string> lines = Scrape("java");
    EXPECT_THAT(fetcher.Requested, ElementsAre("http://board/search?p=1", "http://board/search?p=2",
                                               "http://board/search?p=3"));
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[1], "Java 1");
    EXPECT_EQ(lines[5], "Java 2");
    EXPECT_EQ(lines[9], "Java 3");
}

TEST_F(ResultScraperTest, FailedPageKeepsEarlierRowsAndShowsOneMessage) {
    ServeChain(4);
    fetcher.Pages.erase("http://board/search?p=3");
    std::vector<std::string> lines = Scrape("java");
    EXPECT_EQ(fetcher.Requested.size(), 3u);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[5], "Java 2");
    EXPECT_THAT(panel.Messages, ElementsAre(Gbk("出现网络问题！请检查您的网络连接情况。")));
}

TEST_F(ResultScraperTest, CacheControlFailureIsReportedLikeAFailedFetch) {
    class TRefusingFetcher : public TFakePageFetcher {
        void SetCacheControl(const std::string&) override { throw 42; }
    } refusing;
    TResultScraper refusingScraper(refusing, panel);
    refusingScraper.ScrapeResults(FirstPage, panel.memoResult(), panel.memoFilter());
    EXPECT_TRUE(refusing.Requested.empty());
    EXPECT_EQ(panel.Messages.size(), 1u);
}

TEST_F(ResultScraperTest, PageNamingItselfAsNextStopsSilently) {
    fetcher.Pages[FirstPage] = BoardPage(MixedRows, FirstPage);
    EXPECT_EQ(Scrape("java").size(), 8u);
    EXPECT_EQ(fetcher.Requested.size(), 1u);
    EXPECT_TRUE(panel.Messages.empty());
}

TEST_F(ResultScraperTest, LinkBackWithSchemeAndHostInCapitalsStops) {
    fetcher.Pages[FirstPage] = BoardPage(MixedRows, "HTTP://Board/search?p=1");
    EXPECT_EQ(Scrape("java").size(), 8u);
    EXPECT_EQ(fetcher.Requested.size(), 1u);
    EXPECT_TRUE(panel.Messages.empty());
}

TEST_F(ResultScraperTest, LinkWithPathInCapitalsIsAnotherPage) {
    fetcher.Pages[FirstPage] = BoardPage(MixedRows, "http://board/Search?p=1");
    EXPECT_EQ(Scrape("java").size(), 8u);
    EXPECT_THAT(fetcher.Requested, ElementsAre(FirstPage, "http://board/Search?p=1"));
}

TEST_F(ResultScraperTest, PagerLoopBackToAnEarlierPageStops) {
    ServeChain(3);
    fetcher.Pages["http://board/search?p=3"] =
        BoardPage({{"http://board/job/3.html", "Java 3"}}, "http://board/search?p=2");
    EXPECT_EQ(Scrape("java").size(), 12u);
    EXPECT_EQ(fetcher.Requested.size(), 3u);
}

TEST_F(ResultScraperTest, LongResultSetsAreFollowedUpToThePageLimit) {
    ServeChain(TResultScraper::MaxPages + 20);
    EXPECT_EQ(Scrape("java").size(), 4u * TResultScraper::MaxPages);
    EXPECT_EQ(fetcher.Requested.size(), static_cast<size_t>(TResultScraper::MaxPages));
    EXPECT_TRUE(panel.Messages.empty());
}
