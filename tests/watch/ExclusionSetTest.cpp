#include "watch/ExclusionSet.h"

#include "watch/GbkText.h"
#include "watch/MemoryLineList.h"
#include "watch/TextLineList.h"

#include <gtest/gtest.h>

#include <string>

using namespace watch;

namespace {

TMemoryLineList Lines(const std::vector<std::string>& lines) {
    TMemoryLineList list;
    for (const std::string& line : lines)
        list.Add(line);
    return list;
}

} // namespace

TEST(ExclusionSet, HoldsExactlyTheLinesByteForByte) {
    TExclusionSet excluded(Lines({"http://b/1.html ", "http://b/2.html", "http://b/2.html",
                                  "http://b/22.html", Gbk("http://b/北京.html")}));
    EXPECT_TRUE(excluded.Contains("http://b/1.html "));
    EXPECT_FALSE(excluded.Contains("http://b/1.html"));
    EXPECT_TRUE(excluded.Contains("http://b/2.html"));
    EXPECT_TRUE(excluded.Contains("http://b/22.html"));
    EXPECT_FALSE(excluded.Contains("http://b/2"));
    EXPECT_FALSE(excluded.Contains("HTTP://B/2.HTML"));
    EXPECT_TRUE(excluded.Contains(Gbk("http://b/北京.html")));
    EXPECT_FALSE(excluded.Contains(""));
}

TEST(ExclusionSet, AnEmptyPaneHoldsNothingAndAnEmptyLineIsALine) {
    EXPECT_FALSE(TExclusionSet(Lines({})).Contains(""));
    EXPECT_FALSE(TExclusionSet(Lines({})).Contains("http://b/1.html"));
    TExclusionSet withEmptyLine(Lines({"http://b/1.html", ""}));
    EXPECT_TRUE(withEmptyLine.Contains(""));
    EXPECT_TRUE(withEmptyLine.Contains("http://b/1.html"));
}

TEST(ExclusionSet, FindsEveryLineOfALargePaneAndNoNearMiss) {
    std::vector<std::string> lines;
    for (int n = 0; n < 100000; ++n)
        lines.push_back("http://b/job/" + std::to_string(n * 7) + ".html");
    TExclusionSet excluded(Lines(lines));
    int found = 0;
    int nearMisses = 0;
    for (const std::string& line : lines) {
        found += excluded.Contains(line);
        nearMisses += excluded.Contains(line + " ") + excluded.Contains(line.substr(1)) +
                      excluded.Contains(line.substr(0, line.size() - 1));
    }
    EXPECT_EQ(found, 100000);
    EXPECT_EQ(nearMisses, 0);
    EXPECT_FALSE(excluded.Contains("http://b/job/1.html"));
}

namespace {

// A pane line and a link that differs from it by one byte, at the lengths where the set
// changes how it keeps a line and with the bytes at both ends of the range.
struct TNearMissCase {
    std::string Line;
    std::string Miss;
};

const TNearMissCase kNearMisses[] = {
    {"", std::string(1, '\0')},
    {std::string(1, '\0'), std::string(1, '\x01')},
    {"\xff", "\xfe"},
    {std::string("\0\0", 2), std::string(1, '\0')},
    {"\xff\xff", "\xff\xfe"},
    {"abc", "abd"},
    {"\xff\xff\xff", "\xff\xff"},
    {"abcd", "abc"},
    {"abcd", "abce"},
    {std::string("\0\0\0\0", 4), std::string("\0\0\0", 3)},
    {std::string(127, 'x'), std::string(128, 'x')},
    {std::string(128, 'x'), std::string(129, 'x')},
    {std::string(20000, 'y'), std::string(19999, 'y')},
};

TEST(ExclusionSet, EveryLengthAndByteCompareExactly) {
    for (const TNearMissCase& nearMiss : kNearMisses) {
        SCOPED_TRACE(::testing::PrintToString(nearMiss.Line));
        TTextLineList pane;
        for (int copy = 0; copy < 3; ++copy)
            pane.Add(nearMiss.Line);
        TExclusionSet excluded(pane);
        EXPECT_TRUE(excluded.Contains(nearMiss.Line));
        EXPECT_FALSE(excluded.Contains(nearMiss.Miss));
        EXPECT_FALSE(TExclusionSet(Lines({nearMiss.Miss})).Contains(nearMiss.Line));
    }
}

TEST(ExclusionSet, AMillionRepeatedLinesHoldTheirFewDistinctOnes) {
    TTextLineList pane;
    std::string text;
    for (int n = 0; n < 1000000; ++n)
        text += n % 3 == 0 ? "\n" : n % 3 == 1 ? "http://b/1.html\n" : "ab\n";
    pane.Assign(std::move(text));
    TExclusionSet excluded(pane);
    EXPECT_TRUE(excluded.Contains(""));
    EXPECT_TRUE(excluded.Contains("ab"));
    EXPECT_TRUE(excluded.Contains("http://b/1.html"));
    EXPECT_FALSE(excluded.Contains("a"));
    EXPECT_FALSE(excluded.Contains("http://b/2.html"));
}

} // namespace
