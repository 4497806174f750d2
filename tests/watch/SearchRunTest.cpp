#include "watch/SearchRun.h"

#include "BoardPage.h"
#include "FakePageFetcher.h"
#include "watch/GbkText.h"
#include "watch/MemoryWatchPanel.h"
#include "watch/QueryBuilder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace watch;
using ::testing::ElementsAre;

namespace {

const std::string Board = "jobs.example:8080";
const int HalfHour = 1800000;
const int TwoMinutes = 120000;
const int TwoMinutesItem = 5;

class SearchRunTest : public ::testing::Test {
protected:
    SearchRunTest() : run(panel, fetcher, Board) {
        panel.comboSearchTime().SetItemIndex(0);
        panel.comboCity().SetItemIndex(0);
        panel.comboPubDate().SetItemIndex(0);
        panel.timerFindJob().OnTimer = [this] { run.timerFindJobTimer(); };
    }

    void SetPair(int pair, const std::string& company, const std::string& position) {
        panel.editComName(pair).SetText(company);
        panel.editPosition(pair).SetText(position);
    }

    std::string URLFor(const std::string& company) {
        return SearchURL(Board, company, panel.comboCity().Text(), panel.comboPubDate().Text());
    }

    // The board has a page for `company`, with one Java row or none.
    void Serve(const std::string& company, bool withJavaRow) {
        std::vector<TBoardRow> rows;
        if (withJavaRow)
            rows.push_back({"http://board/job/" + company + ".html", "Java"});
        fetcher.Pages[URLFor(company)] = BoardPage(rows);
    }

    void ExpectIdle() {
        EXPECT_TRUE(panel.btnGo().Enabled());
        EXPECT_FALSE(panel.btnStopGo().Enabled());
        EXPECT_FALSE(panel.timerFindJob().Enabled());
    }

    void ExpectPolling() {
        EXPECT_FALSE(panel.btnGo().Enabled());
        EXPECT_TRUE(panel.btnStopGo().Enabled());
        EXPECT_TRUE(panel.timerFindJob().Enabled());
        EXPECT_TRUE(panel.InTray);
    }

    const std::string NoPairMessage = Gbk("请至少输入一组公司名、职位名关键字！");
    TMemoryWatchPanel panel;
    TFakePageFetcher fetcher;
    TSearchRun run;
};

} // namespace

TEST_F(SearchRunTest, APairIsCompleteOnlyWithBothKeywordsNonBlank) {
    EXPECT_FALSE(run.AnyPairComplete());
    SetPair(1, "IBM", "  \t");
    SetPair(2, " ", "java");
    EXPECT_FALSE(run.AnyPairComplete());
    SetPair(5, "IBM", "java");
    EXPECT_TRUE(run.AnyPairComplete());
}

TEST_F(SearchRunTest, RunsOnlyCompletePairsInOrderWithTrimmedKeywords) {
    SetPair(1, "IBM", "");
    SetPair(2, "  HP ", " java\t");
    SetPair(4, Gbk("北京"), "*");
    run.RunAllPairs();
    EXPECT_THAT(fetcher.Requested, ElementsAre(URLFor("HP"), URLFor(Gbk("北京"))));
    EXPECT_EQ(run.CurrentCompany(), Gbk("北京"));
    EXPECT_EQ(run.CurrentPosition(), "*");
}

TEST_F(SearchRunTest, SearchesUseTheSelectorTextsAsTyped) {
    SetPair(1, "IBM", "java");
    panel.comboCity().SetText(Gbk("天津"));
    panel.comboPubDate().SetText("whenever");
    run.RunAllPairs();
    EXPECT_THAT(fetcher.Requested, ElementsAre(SearchURL(Board, "IBM", Gbk("天津"), "")));
}

TEST_F(SearchRunTest, StartWithoutCompletePairOnlyShowsTheMessage) {
    run.btnGoClick();
    EXPECT_THAT(panel.Messages, ElementsAre(NoPairMessage));
    ExpectIdle();
    EXPECT_EQ(panel.HideToTrayCalls, 0);
    EXPECT_EQ(panel.timerFindJob().Interval(), 1000);
}

TEST_F(SearchRunTest, StartHidesToTrayAndWaitsOneIntervalBeforeSearching) {
    SetPair(1, "IBM", "java");
    Serve("IBM", false);
    run.btnGoClick();
    ExpectPolling();
    EXPECT_EQ(panel.timerFindJob().Interval(), HalfHour);
    EXPECT_TRUE(fetcher.Requested.empty());

    panel.timerFindJob().Advance(HalfHour - 1);
    EXPECT_TRUE(fetcher.Requested.empty());
    panel.timerFindJob().Advance(1);
    EXPECT_EQ(fetcher.Requested.size(), 1u);
}

TEST_F(SearchRunTest, TypedIntervalKeepsThePreviousInterval) {
    SetPair(1, "IBM", "java");
    panel.comboSearchTime().SetText(Gbk("半小时"));
    run.btnGoClick();
    EXPECT_EQ(panel.timerFindJob().Interval(), 1000);

    run.btnStopGoClick();
    panel.comboSearchTime().SetItemIndex(TwoMinutesItem);
    run.btnGoClick();
    run.btnStopGoClick();
    panel.comboSearchTime().SetText("5 minutes");
    run.btnGoClick();
    EXPECT_EQ(panel.timerFindJob().Interval(), TwoMinutes);
}

TEST_F(SearchRunTest, TicksThatFindNothingKeepPollingEveryInterval) {
    SetPair(1, "IBM", "java");
    Serve("IBM", false);
    panel.comboSearchTime().SetItemIndex(TwoMinutesItem);
    run.btnGoClick();
    panel.timerFindJob().Advance(3 * TwoMinutes);
    EXPECT_EQ(fetcher.Requested.size(), 3u);
    ExpectPolling();
    EXPECT_EQ(panel.RestoreFromTrayCalls, 0);
    EXPECT_TRUE(panel.Messages.empty());

    // The next tick comes one full interval after the search.
    panel.timerFindJob().Advance(TwoMinutes - 1);
    EXPECT_EQ(fetcher.Requested.size(), 3u);

    Serve("IBM", true);
    panel.timerFindJob().Advance(1);
    EXPECT_EQ(fetcher.Requested.size(), 4u);
    ExpectIdle();
    EXPECT_FALSE(panel.InTray);
    EXPECT_EQ(panel.RestoreFromTrayCalls, 1);
    EXPECT_EQ(panel.memoResult().Count(), 4);

    panel.timerFindJob().Advance(10 * TwoMinutes);
    EXPECT_EQ(fetcher.Requested.size(), 4u);
}

TEST_F(SearchRunTest, FindsStayShownUntilTheNextPollsFirstTick) {
    SetPair(1, "IBM", "java");
    Serve("IBM", true);
    run.btnGoClick();
    panel.timerFindJob().Advance(HalfHour);
    ASSERT_EQ(panel.memoResult().Count(), 4);

    Serve("IBM", false);
    run.btnGoClick();
    EXPECT_EQ(panel.memoResult().Count(), 4);
    panel.timerFindJob().Advance(HalfHour);
    EXPECT_EQ(panel.memoResult().Count(), 0);
    ExpectPolling();
}

TEST_F(SearchRunTest, TickWithoutCompletePairStopsTheTimerOnly) {
    SetPair(1, "IBM", "java");
    run.btnGoClick();
    panel.memoResult().Add("old find");
    SetPair(1, "IBM", "");
    panel.timerFindJob().Advance(HalfHour);
    EXPECT_THAT(panel.Messages, ElementsAre(NoPairMessage));
    EXPECT_EQ(panel.memoResult().Count(), 0);
    EXPECT_FALSE(panel.timerFindJob().Enabled());
    EXPECT_FALSE(panel.btnGo().Enabled());
    EXPECT_TRUE(panel.btnStopGo().Enabled());
    EXPECT_TRUE(panel.InTray);

    run.btnStopGoClick();
    ExpectIdle();
}

TEST_F(SearchRunTest, NetworkFailureShowsOneMessagePerPairAndPollsOn) {
    SetPair(1, "IBM", "java");
    SetPair(3, "HP", "java");
    run.btnGoClick();
    panel.timerFindJob().Advance(HalfHour);
    EXPECT_EQ(panel.Messages.size(), 2u);
    EXPECT_EQ(fetcher.Requested.size(), 2u);
    ExpectPolling();
}

TEST_F(SearchRunTest, SearchNowClearsResultsEvenWithoutCompletePair) {
    panel.memoResult().Add("old find");
    run.btnRightNowClick();
    EXPECT_EQ(panel.memoResult().Count(), 0);
    EXPECT_THAT(panel.Messages, ElementsAre(NoPairMessage));
    EXPECT_TRUE(fetcher.Requested.empty());
}

TEST_F(SearchRunTest, SearchNowEndsPollingAndLeavesTheWindowAlone) {
    SetPair(2, "IBM", "java");
    Serve("IBM", true);
    run.btnGoClick();
    panel.RestoreFromTray(); // the user clicks the tray icon
    panel.memoResult().Add("old find");

    run.btnRightNowClick();
    ExpectIdle();
    EXPECT_EQ(panel.memoResult().Count(), 4);
    EXPECT_EQ(panel.memoResult().Line(0), "IBM");
    EXPECT_EQ(panel.HideToTrayCalls, 1);
    EXPECT_EQ(panel.RestoreFromTrayCalls, 1);
    panel.timerFindJob().Advance(2 * HalfHour);
    EXPECT_EQ(fetcher.Requested.size(), 1u);
}

TEST_F(SearchRunTest, StopEndsPolling) {
    SetPair(1, "IBM", "java");
    run.btnGoClick();
    run.btnStopGoClick();
    ExpectIdle();
    panel.timerFindJob().Advance(2 * HalfHour);
    EXPECT_TRUE(fetcher.Requested.empty());
}
