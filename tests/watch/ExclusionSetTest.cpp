#include "watch/ExclusionSet.h"

#include "watch/GbkText.h"
#include "watch/MemoryLineList.h"

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
