#include "watch/QueryBuilder.h"

#include "FakePageFetcher.h"
#include "watch/GbkText.h"
#include "watch/MemoryWatchPanel.h"
#include "watch/ResultScraper.h"
#include "watch/WatchChoices.h"

#include <gtest/gtest.h>

using namespace watch;

namespace {

const std::string Board = "127.0.0.1:18093";

std::string ExpectedURL(const std::string& area, const std::string& days,
                        const std::string& keyword, const std::string& board = Board) {
    return "http://" + board + "/jobsearch/search_result.php?fromJs=1&jobarea=" + area +
           "&funtype=0000&industrytype=00&issuedate=" + days +
           "&providesalary=99&keyword=" + keyword +
           "&keywordtype=0&lang=c&stype=2&workyear=99&cotype=99&degreefrom=99&jobterm=01"
           "&fromType=1";
}

} // namespace

TEST(QueryBuilder, BuildsTheBoardQueryByteForByte) {
    EXPECT_EQ(SearchURL(Board, Gbk("北京"), Gbk("北京"), Gbk("一天内")),
              ExpectedURL("0100", "1", "%B1%B1%BE%A9"));
    EXPECT_EQ(SearchURL(Board, "IBM", Gbk("国外"), Gbk("三天内")),
              ExpectedURL("3600", "3", "%49%42%4D"));
}

TEST(QueryBuilder, TheQueryGoesToTheBoardItIsGiven) {
    EXPECT_EQ(SearchURL("jobs.example", "IBM", Gbk("国外"), Gbk("三天内")),
              ExpectedURL("3600", "3", "%49%42%4D", "jobs.example"));
    EXPECT_EQ(SearchURL("10.0.0.7:8080", "IBM", Gbk("国外"), Gbk("三天内")),
              ExpectedURL("3600", "3", "%49%42%4D", "10.0.0.7:8080"));
}

TEST(QueryBuilder, UnknownChoicesLeaveEmptyParameters) {
    EXPECT_EQ(SearchURL(Board, "IBM", Gbk("火星"), Gbk("一周内")),
              ExpectedURL("", "", "%49%42%4D"));
    // Near misses are unknown too: the comparison is exact.
    EXPECT_EQ(RegionCode(Gbk("北京 ")), "");
    EXPECT_EQ(RegionCode(Gbk("广东")), "");
    EXPECT_EQ(DateCode(""), "");
}

TEST(QueryBuilder, RegionCodesFollowTheBoardsGaps) {
    EXPECT_EQ(RegionCode(Gbk("广东省")), "0300");
    EXPECT_EQ(RegionCode(Gbk("天津")), "0500");
    EXPECT_EQ(RegionCode(Gbk("海南省")), "1000");
    EXPECT_EQ(RegionCode(Gbk("江西省")), "1300");
    EXPECT_EQ(RegionCode(Gbk("安徽省")), "1500");
    EXPECT_EQ(RegionCode(Gbk("黑龙江省")), "2200");
    EXPECT_EQ(RegionCode(Gbk("国外")), "3600");
    EXPECT_EQ(DateCode(Gbk("二天内")), "2");
    ASSERT_EQ(CityItems().size(), 34u);
    EXPECT_EQ(CityItems().front(), Gbk("北京"));
    EXPECT_EQ(CityItems()[12], Gbk("安徽省"));
}

TEST(QueryBuilder, SearchCompanyScrapesTheQueryURL) {
    TFakePageFetcher fetcher;
    TMemoryWatchPanel panel;
    TResultScraper scraper(fetcher, panel);
    SearchCompany(scraper, "jobs.example:8080", "IBM", Gbk("上海"), Gbk("二天内"),
                  panel.memoResult(), panel.memoFilter());
    ASSERT_EQ(fetcher.Requested.size(), 1u);
    EXPECT_EQ(fetcher.Requested[0], ExpectedURL("0200", "2", "%49%42%4D", "jobs.example:8080"));
}
