#include "http/IdHeaderList.h"

#include <gtest/gtest.h>

#include "LeadBytesGuard.h"

namespace {

using Lines = std::vector<std::string>;

TIdHeaderList ListOf(const Lines& lines) {
    TIdHeaderList list;
    for (const std::string& line : lines) {
        list.Add(line);
    }
    return list;
}

TEST(HeaderListLookup, NamesMatchWithoutRegardToCase) {
    TIdHeaderList list = ListOf({"Content-Type: text/html", "content-length: 12", "X: 1"});
    EXPECT_EQ(list.IndexOfHeader("CONTENT-LENGTH"), 1);
    EXPECT_EQ(list.ValueOf("Content-Length"), "12");
    EXPECT_EQ(list.IndexOfHeader("Content"), -1);
    EXPECT_EQ(list.ValueOf("Absent"), "");
    EXPECT_EQ(list.NameAt(1), "CONTENT-LENGTH");
    list.NamesCaseSensitive = true;
    EXPECT_EQ(list.NameAt(1), "content-length");
    EXPECT_EQ(list.IndexOfHeader("CONTENT-LENGTH"), 1);
}

TEST(HeaderListLookup, ANameEndsAtTheFirstSeparatorOfTheCharacterWalk) {
    // 北 is "\xB1\xB1": in "\xB1:" the ":" is the second byte of a character, not a separator.
    TIdHeaderList list = ListOf({"Content-Length-X: 1", "\xB1:x: 2", "\xB1\xB1: 3",
                                 "Content-Length : 4", "content-length: 5", ": 6"});
    EXPECT_EQ(list.ValueOf("Content-Length"), "5");
    EXPECT_EQ(list.IndexOfHeader("\xB1"), -1);
    EXPECT_EQ(list.ValueOf("\xB1:x"), "2");
    EXPECT_EQ(list.ValueOf("\xB1\xB1"), "3");
    EXPECT_EQ(list.ValueOf(""), "6");
    Lines values;
    list.CollectValues("content-length", &values);
    EXPECT_EQ(values, (Lines{"5"}));
}

TEST(HeaderListLookup, AnotherSeparatorEndsTheNameAtItsNonBlankPart) {
    TIdHeaderList list = ListOf({"a: 1", "a = 2", "a=3", "b==4"});
    list.Separator = "= ";
    EXPECT_EQ(list.IndexOfHeader("a"), 2);
    EXPECT_EQ(list.IndexOfHeader("a "), 1);
    EXPECT_EQ(list.IndexOfHeader("b"), 3);
    EXPECT_EQ(list.IndexOfHeader("b="), -1);
}

TEST(HeaderListLookup, ValueIsTrimmedAndJoinsContinuations) {
    TIdHeaderList list = ListOf({"Name:   first part  ", " second", "\tthird ", "Next: x"});
    EXPECT_EQ(list.ValueOf("Name"), "first part second third");
    list.JoinContinuations = false;
    EXPECT_EQ(list.ValueOf("Name"), "first part");
}

TEST(HeaderListLookup, BlankPiecesAddNoSeparator) {
    // Each piece is trimmed and joined with one blank; a piece of blanks adds nothing, and an
    // empty value takes the first piece that has text.
    const std::string controlBytesAround = std::string("\t\x01") + "b\x7F ";
    EXPECT_EQ(ListOf({"Name: a", " \t ", controlBytesAround, "  "}).ValueOf("Name"), "a b\x7F");
    EXPECT_EQ(ListOf({"Name:   ", "  ", " x", " y "}).ValueOf("Name"), "x y");
    EXPECT_EQ(ListOf({"Name:", " \x02"}).ValueOf("Name"), "");
}

TEST(HeaderListLookup, AThousandContinuationLinesJoinInOrder) {
    std::vector<std::string> lines{"Long: 0"};
    std::string expected = "0";
    for (int n = 1; n <= 1000; ++n) {
        lines.push_back(" " + std::to_string(n) + "\t");
        expected += " " + std::to_string(n);
    }
    EXPECT_EQ(ListOf(lines).ValueOf("Long"), expected);
}

TEST(HeaderListLookup, AnEmptyLineEndsTheContinuations) {
    TIdHeaderList list = ListOf({"Name: a", "", " b"});
    EXPECT_EQ(list.ValueOf("Name"), "a");
}

TEST(HeaderListLookup, OutOfRangeAndNamelessLines) {
    TIdHeaderList list = ListOf({"no colon here"});
    EXPECT_EQ(list.ValueAt(-1), "");
    EXPECT_EQ(list.ValueAt(1), "");
    EXPECT_EQ(list.NameAt(0), "");
    // A line without ":" has an empty name; its value starts after the first byte.
    EXPECT_EQ(list.ValueAt(0), "o colon here");
}

TEST(HeaderListLookup, CollectValuesGathersEveryLineOfTheName) {
    TIdHeaderList list =
        ListOf({"Set-Cookie: a=1", "Other: x", "set-cookie: b=2;", " path=/", "Set-Cookie2: c"});
    Lines values;
    list.CollectValues("Set-cookie", &values);
    EXPECT_EQ(values, (Lines{"a=1", "b=2; path=/"}));
    list.CollectValues("Set-cookie", nullptr);
}

TEST(HeaderListSet, ReplacesInPlaceAndAppendsNewNames) {
    TIdHeaderList list = ListOf({"Host: old", "Accept: */*"});
    list.SetHeader("HOST", "new");
    list.SetHeader("User-Agent", "me");
    EXPECT_EQ(list.Lines(), (Lines{"HOST: new", "Accept: */*", "User-Agent: me"}));
}

TEST(HeaderListSet, ReplacingDropsTheOldContinuations) {
    TIdHeaderList list = ListOf({"A: 1", "Long: x", " y", "\tz", "B: 2"});
    list.SetHeader("Long", "short");
    EXPECT_EQ(list.Lines(), (Lines{"A: 1", "Long: short", "B: 2"}));
}

TEST(HeaderListSet, AnEmptyValueRemovesTheLineWithItsContinuations) {
    TIdHeaderList list = ListOf({"A: 1", "Long: x", " y", "B: 2"});
    list.SetHeader("long", "");
    list.SetHeader("Absent", "");
    EXPECT_EQ(list.Lines(), (Lines{"A: 1", "B: 2"}));
}

TEST(HeaderListSet, WithoutWrappingTheLineIsKeptWhole) {
    TIdHeaderList list;
    list.WrapLongLines = false;
    list.WrapWidth = 10;
    list.SetHeader("Name", "one two three four");
    EXPECT_EQ(list.Lines(), (Lines{"Name: one two three four"}));
}

TEST(HeaderListSet, TrailingBlanksGoAndLineBreaksSplitTheValue) {
    TIdHeaderList list;
    list.SetHeader("A", "value   ");
    list.SetHeader("B", "first\r\nsecond");
    EXPECT_EQ(list.Lines(), (Lines{"A: value", "B: first", "second"}));
}

TEST(HeaderListWrap, LongLinesBreakAfterBlanksAndCommas) {
    TIdHeaderList list;
    list.WrapWidth = 10;
    EXPECT_EQ(list.WrapHeaderLine("aaaa bbbb cccc"), (Lines{"aaaa bbbb", " cccc"}));
    EXPECT_EQ(list.WrapHeaderLine("aaaa,bbbb,cccc"), (Lines{"aaaa,bbbb,", " cccc"}));
    EXPECT_EQ(list.WrapHeaderLine("aaaa\tbbbb\tcccc"), (Lines{"aaaa\tbbbb", " cccc"}));
    EXPECT_EQ(list.WrapHeaderLine("short"), (Lines{"short"}));
}

TEST(HeaderListWrap, SetHeaderPlacesEveryPieceAtTheHeadersPlace) {
    TIdHeaderList list = ListOf({"First: 1", "Cookie: old", "Last: 2"});
    list.WrapWidth = 20;
    list.SetHeader("Cookie", "alpha=1; beta=2; gamma=3; delta=4");
    ASSERT_EQ(list.Count(), 5);
    EXPECT_EQ(list[0], "First: 1");
    EXPECT_EQ(list[1], "Cookie: alpha=1;");
    EXPECT_EQ(list[2], " beta=2; gamma=3;");
    EXPECT_EQ(list[3], " delta=4");
    EXPECT_EQ(list[4], "Last: 2");
    EXPECT_EQ(list.ValueOf("Cookie"), "alpha=1; beta=2; gamma=3; delta=4");
}

TEST(HeaderListWrap, NoBreakPointMeansNoBreak) {
    TIdHeaderList list;
    list.WrapWidth = 10;
    const std::string solid(200, 'x');
    EXPECT_EQ(list.WrapHeaderLine(solid), (Lines{solid}));
    // The first blank after the long run is where the line breaks.
    EXPECT_EQ(list.WrapHeaderLine("a" + solid + " bc"), (Lines{"a" + solid, " bc"}));
    // With fewer than two bytes left no break text is written.
    EXPECT_EQ(list.WrapHeaderLine("a" + solid + " b"), (Lines{"a" + solid + " b"}));
}

TEST(HeaderListWrap, BlanksInsideQuotesAreNoBreakPoints) {
    TIdHeaderList list;
    list.WrapWidth = 10;
    const std::string quoted = "\"aaa bbb ccc ddd eee\"";
    EXPECT_EQ(list.WrapHeaderLine(quoted), (Lines{quoted}));
    EXPECT_EQ(list.WrapHeaderLine("x, " + quoted + " y"), (Lines{"x,", " " + quoted + " y"}));
}

TEST(HeaderListWrap, ExistingBreaksAreKept) {
    TIdHeaderList list;
    EXPECT_EQ(list.WrapHeaderLine("abc\r\n def"), (Lines{"abc", " def"}));
    EXPECT_EQ(WrapAtWidth("abc\r\n def", "\r\n ", " ,", 78), "abc\r\n def");
}

TEST(HeaderListWrap, ADoubleByteCharacterIsNeverABreakPoint) {
    LeadBytesGuard guard(GbkLeadBytes());
    // 0x81 is a lead byte, so the comma after it is the second half of a character.
    const std::string text = "aaaaaaaa\x81,bbbbbbbb";
    EXPECT_EQ(WrapAtWidth(text, "\r\n ", " ,", 10), text);
    LeadBytesGuard plain(TIdLeadByteSet{});
    EXPECT_EQ(WrapAtWidth(text, "\r\n ", " ,", 10), "aaaaaaaa\x81,\r\n bbbbbbbb");
}

TEST(HeaderListText, TextAndSetTextRoundTrip) {
    TIdHeaderList list;
    list.SetText("A: 1\r\nB: 2\nC: 3\rD: 4\r\n");
    EXPECT_EQ(list.Lines(), (Lines{"A: 1", "B: 2", "C: 3", "D: 4"}));
    EXPECT_EQ(list.Text(), "A: 1\r\nB: 2\r\nC: 3\r\nD: 4\r\n");
}

} // namespace
