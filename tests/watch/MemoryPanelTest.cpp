#include "watch/MemoryWatchPanel.h"
#include "watch/TextLineList.h"

#include "watch/GbkText.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace watch;

TEST(MemoryTimer, OnlyRealChangesRestartTheCountdown) {
    TMemoryTimer timer;
    int ticks = 0;
    timer.OnTimer = [&] { ++ticks; };
    timer.Advance(5000);
    EXPECT_EQ(ticks, 0); // a new timer is disabled
    EXPECT_EQ(timer.Interval(), 1000);

    timer.SetEnabled(true);
    timer.Advance(600);
    timer.SetEnabled(true);
    timer.SetInterval(1000);
    EXPECT_EQ(timer.Elapsed(), 600);
    timer.Advance(400);
    EXPECT_EQ(ticks, 1);

    timer.Advance(600);
    timer.SetInterval(2000);
    EXPECT_EQ(timer.Elapsed(), 0);
    timer.Advance(1999);
    EXPECT_EQ(ticks, 1);
    timer.SetEnabled(false);
    timer.SetEnabled(true);
    timer.Advance(1999);
    EXPECT_EQ(ticks, 1);
    timer.Advance(1);
    EXPECT_EQ(ticks, 2);
}

TEST(MemoryTimer, TicksRepeatUntilDisabled) {
    TMemoryTimer timer;
    int ticks = 0;
    timer.OnTimer = [&] {
        if (++ticks == 3)
            timer.SetEnabled(false);
    };
    timer.SetEnabled(true);
    timer.Advance(10500);
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(timer.Elapsed(), 0);
}

TEST(MemorySelector, PickingAndTypingFollowTheSelectorRules) {
    TMemoryWatchPanel panel;
    TMemorySelector& city = panel.comboCity();
    EXPECT_EQ(city.ItemIndex(), -1);
    EXPECT_EQ(city.Text(), "");

    city.SetItemIndex(3);
    EXPECT_EQ(city.Text(), Gbk("天津"));
    city.SetText(Gbk("北京"));
    EXPECT_EQ(city.ItemIndex(), -1);
    EXPECT_EQ(city.Text(), Gbk("北京"));
    city.SetItemIndex(2);
    city.SetItemIndex(34);
    EXPECT_EQ(city.ItemIndex(), -1);
    EXPECT_EQ(city.Text(), "");
}

TEST(MemoryWatchPanel, StartsIdleWithTheStandardItems) {
    TMemoryWatchPanel panel;
    EXPECT_TRUE(panel.btnGo().Enabled());
    EXPECT_FALSE(panel.btnStopGo().Enabled());
    EXPECT_FALSE(panel.timerFindJob().Enabled());
    EXPECT_FALSE(panel.InTray);
    ASSERT_EQ(panel.comboSearchTime().Items().size(), 6u);
    EXPECT_EQ(panel.comboSearchTime().Items()[5], Gbk("2分钟(仅供测试)"));
    EXPECT_EQ(panel.comboPubDate().Items().size(), 3u);
    EXPECT_EQ(panel.comboCity().Items().size(), 34u);
}

TEST(MemoryWatchPanel, PairsAreNumberedOneToFive) {
    TMemoryWatchPanel panel;
    panel.editComName(5).SetText("five");
    panel.editPosition(1).SetText("one");
    EXPECT_EQ(panel.editComName(5).Text(), "five");
    EXPECT_EQ(panel.editComName(1).Text(), "");
    EXPECT_EQ(panel.editPosition(1).Text(), "one");
    EXPECT_THROW(panel.editComName(0), std::out_of_range);
    EXPECT_THROW(panel.editPosition(6), std::out_of_range);
}

TEST(MemoryLineList, TextJoinsLinesWithCrLf) {
    TMemoryLineList lines;
    EXPECT_EQ(lines.Text(), "");
    lines.Add("a");
    lines.Add("");
    lines.Add("b");
    EXPECT_EQ(lines.Text(), "a\r\n\r\nb");
    EXPECT_EQ(lines.Count(), 3);
    EXPECT_EQ(lines.Line(2), "b");
    lines.Clear();
    EXPECT_EQ(lines.Count(), 0);
}

TEST(TextLineList, ReadsLinesInAnyOrderAndJoinsThemWithCrLf) {
    TTextLineList lines;
    EXPECT_EQ(lines.Text(), "");
    lines.Add("a");
    lines.Add("");
    lines.Add("b\nc");
    EXPECT_EQ(lines.Count(), 4);
    EXPECT_EQ(lines.Text(), "a\r\n\r\nb\r\nc");
    for (int index : {3, 0, 2, 2, 1, 3})
        EXPECT_EQ(lines.Line(index), (std::vector<std::string>{"a", "", "b", "c"})[index]);
    EXPECT_THROW(lines.Line(4), std::out_of_range);
    lines.Assign("x\n\n");
    EXPECT_EQ(lines.Count(), 2);
    EXPECT_EQ(lines.Line(1), "");
    lines.Clear();
    EXPECT_EQ(lines.Count(), 0);
}
