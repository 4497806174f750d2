// How the tool cuts an exclusion file into the exclusion pane's lines.

#include "cli/PanelFiles.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

Lines LinesOf(const std::string& bytes) {
    watch::TTextLineList list = ExclusionLines(bytes);
    Lines lines;
    for (int i = 0; i < list.Count(); ++i)
        lines.push_back(list.Line(i));
    return lines;
}

TEST(ExclusionLinesTest, ALineBreakAtTheEndStartsNoFurtherLine) {
    EXPECT_EQ(LinesOf(""), Lines{});
    EXPECT_EQ(LinesOf("a\n"), Lines{"a"});
    EXPECT_EQ(LinesOf("a\r\n"), Lines{"a"});
    EXPECT_EQ(LinesOf("a"), Lines{"a"});
    EXPECT_EQ(LinesOf("\n"), Lines{""});
}

TEST(ExclusionLinesTest, EmptyLinesInsideAndLoneCarriageReturnsStay) {
    EXPECT_EQ(LinesOf("a\r\n\r\nb\n"), (Lines{"a", "", "b"}));
    EXPECT_EQ(LinesOf("a\rb\nc\r"), (Lines{"a\rb", "c\r"}));
}

} // namespace
