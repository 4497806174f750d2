// How the tool cuts an exclusion file into the exclusion pane's lines.

#include "cli/PanelFiles.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

TEST(ExclusionLinesTest, ALineBreakAtTheEndStartsNoFurtherLine) {
    EXPECT_EQ(ExclusionLines(""), Lines{});
    EXPECT_EQ(ExclusionLines("a\n"), Lines{"a"});
    EXPECT_EQ(ExclusionLines("a\r\n"), Lines{"a"});
    EXPECT_EQ(ExclusionLines("a"), Lines{"a"});
    EXPECT_EQ(ExclusionLines("\n"), Lines{""});
}

TEST(ExclusionLinesTest, EmptyLinesInsideAndLoneCarriageReturnsStay) {
    EXPECT_EQ(ExclusionLines("a\r\n\r\nb\n"), (Lines{"a", "", "b"}));
    EXPECT_EQ(ExclusionLines("a\rb\nc\r"), (Lines{"a\rb", "c\r"}));
}

} // namespace
