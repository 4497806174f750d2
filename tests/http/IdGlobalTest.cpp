#include "http/IdGlobal.h"
#include "http/EConvertError.h"
#include "tests/http/LeadBytesGuard.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

// 北京 in GBK: the second byte of 北 equals its first, the first byte of 京 follows it.
const std::string kBeijing = "\xB1\xB1\xBE\xA9";

TEST(LeadBytes, StartAsGbkLeadBytes) {
    EXPECT_EQ(LeadBytes(), GbkLeadBytes());
    EXPECT_FALSE(IsLeadByte('\x80'));
    EXPECT_TRUE(IsLeadByte('\x81'));
    EXPECT_TRUE(IsLeadByte('\xFE'));
    EXPECT_FALSE(IsLeadByte('\xFF'));
    EXPECT_EQ(GbkLeadBytes().count(), 0xFEu - 0x81u + 1);
}

TEST(TextPos, FindsFirstOccurrenceOneBased) {
    EXPECT_EQ(TextPos("://", "http://h/a://"), 5);
    EXPECT_EQ(TextPos("x", "abc"), 0);
    EXPECT_EQ(TextPos("", "abc"), 0);
    EXPECT_EQ(TextPos("abcd", "abc"), 0);
    EXPECT_EQ(TextPos("B", "abB"), 3);
}

TEST(TextPos, UnderGbkNeverMatchesOnATrailByte) {
    EXPECT_EQ(TextPos("\xB1\xBE", kBeijing), 0);
    EXPECT_EQ(TextPos("\xBE\xA9", kBeijing), 3);
    EXPECT_EQ(TextPos("\xB1", kBeijing), 1);
    // The "@" right after a lead byte is that character's second byte.
    EXPECT_EQ(TextPos("@", "\x81@@"), 3);
}

TEST(TextPos, UnderGbkStopsAtTheFirstNul) {
    EXPECT_EQ(TextPos("cd", "ab\0cd"s), 0);
    EXPECT_EQ(TextPos("b", "ab\0cd"s), 2);
}

// The walk as it reads: from the start, a lead byte and the byte after it are one
// character, and the text ends at its first NUL.
int WalkingTextPos(std::string_view sub, std::string_view text) {
    text = text.substr(0, text.find('\0'));
    for (std::size_t index = 0; index + sub.size() <= text.size();
         index += IsLeadByte(text[index]) ? 2 : 1) {
        if (text.substr(index, sub.size()) == sub) {
            return static_cast<int>(index) + 1;
        }
    }
    return 0;
}

// Every text of up to six bytes over an alphabet of single-byte characters, lead bytes,
// the searched bytes and NUL.
void ExpectTextPosWalks(std::string_view alphabet) {
    std::vector<std::string> texts{""};
    for (std::size_t start = 0; texts.size() < 20000;) {
        const std::size_t end = texts.size();
        for (std::size_t i = start; i < end; ++i) {
            for (char c : alphabet) {
                texts.push_back(texts[i] + c);
            }
        }
        start = end;
    }
    for (const std::string& sub : {"a"s, ":"s, "\x81"s, "a:"s, ":a"s, "\x81:"s, "::"s, "a\0"s}) {
        for (const std::string& text : texts) {
            ASSERT_EQ(TextPos(sub, text), WalkingTextPos(sub, text))
                << "sub \"" << sub << "\" in a text of " << text.size() << " bytes";
        }
    }
}

TEST(TextPos, FindsWhatTheCharacterWalkFinds) {
    ExpectTextPosWalks("a:\x81\xB1"s + '\0');
    TIdLeadByteSet letters;
    letters.set('a');
    LeadBytesGuard letterLeads{letters};
    ExpectTextPosWalks("a:\x81"
                       "b"s +
                       '\0');
}

TEST(TextPos, WithoutLeadBytesIsAPlainByteSearch) {
    LeadBytesGuard plain{TIdLeadByteSet{}};
    EXPECT_EQ(TextPos("\xB1\xBE", kBeijing), 2);
    EXPECT_EQ(TextPos("cd", "ab\0cd"s), 4);
    EXPECT_EQ(TextPos("@", "\x81@@"), 2);
}

TEST(TakeToken, CutsBeforeTheDelimiterAndKeepsTheRest) {
    std::string text = "a:b:c";
    EXPECT_EQ(TakeToken(text, ":"), "a");
    EXPECT_EQ(text, "b:c");
    std::string scheme = "http://h/";
    EXPECT_EQ(TakeToken(scheme, "://"), "http");
    EXPECT_EQ(scheme, "h/");
}

TEST(TakeToken, WithoutDelimiterTakesEverything) {
    std::string text = "abc";
    EXPECT_EQ(TakeToken(text, "#"), "abc");
    EXPECT_EQ(text, "");
    std::string kept = "a#b";
    EXPECT_EQ(TakeToken(kept, "#", false), "a");
    EXPECT_EQ(kept, "a#b");
}

TEST(TakeToken, FindsANulDelimiterBytewiseUnderGbk) {
    std::string text = "ab\0cd"s;
    EXPECT_EQ(TakeToken(text, "\0"s), "ab");
    EXPECT_EQ(text, "cd");
}

TEST(BackwardPos, SearchesDownwardsWithoutRegardToCase) {
    EXPECT_EQ(BackwardPos("/", "a/b/c", -1), 4);
    EXPECT_EQ(BackwardPos("/", "a/b/c", 3), 2);
    EXPECT_EQ(BackwardPos("/", "a/b/c", 1), 0);
    EXPECT_EQ(BackwardPos("AB", "xabyab", -1), 5);
    EXPECT_EQ(BackwardPos("ab", "xabyAB", 100), 5);
    EXPECT_EQ(BackwardPos("abc", "ab", -1), 0);
}

struct MergeCase {
    const char* base;
    const char* relative;
    const char* merged;
};

void PrintTo(const MergeCase& row, std::ostream* out) {
    *out << row.base << " + " << row.relative;
}

class MergePathTable : public testing::TestWithParam<MergeCase> {};

TEST_P(MergePathTable, Merges) {
    EXPECT_EQ(MergePath(GetParam().base, GetParam().relative), GetParam().merged);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, MergePathTable,
    testing::Values(MergeCase{"/jobsearch/", "", "/jobsearch/"},
                    MergeCase{"/a/b/", "c/", "/a/b/c/"}, MergeCase{"/a/b", "c/", "/a/b/c/"},
                    MergeCase{"/a/b/", "../c/", "/a/c/"}, MergeCase{"/a/b/", "../../../c/", "/c/"},
                    MergeCase{"/a//b/", "", "/a/b/"}, MergeCase{"/a/b/", "./c/", "/a/b/./c/"},
                    MergeCase{"/a/b/", "/x/../y/", "/x/../y/"}, MergeCase{"", "", ""}));

INSTANTIATE_TEST_SUITE_P(EdgeCases, MergePathTable,
                         testing::Values(MergeCase{"/a/b/", "..x/", "/a/x/"},
                                         MergeCase{"/a/b/", "c", "/a/b/c"},
                                         MergeCase{"/", "..", ""}, MergeCase{"/", "../", "/"},
                                         MergeCase{"/a/", "b//c/", "/a/b/c/"}));

TEST(ForwardSlashes, ReplacesBackslashesButNotTrailBytes) {
    EXPECT_EQ(ForwardSlashes("http://h\\a\\b.php"), "http://h/a/b.php");
    EXPECT_EQ(ForwardSlashes("\\\x95\\\\"), "/\x95\\/");
    LeadBytesGuard plain{TIdLeadByteSet{}};
    EXPECT_EQ(ForwardSlashes("\\\x95\\\\"), "/\x95//");
}

TEST(Trim, RemovesBytesAtOrBelowTheBlankOnly) {
    EXPECT_EQ(Trim(" \t\r\n\0a b\x01 "s), "a b");
    EXPECT_EQ(Trim("\xA1\xA1x\xA1\xA1"), "\xA1\xA1x\xA1\xA1");
    EXPECT_EQ(TrimLeft("  a  "), "a  ");
    EXPECT_EQ(TrimRight("  a  "), "  a");
    EXPECT_EQ(Trim("   "), "");
}

TEST(SameText, IgnoresAsciiCaseOnly) {
    EXPECT_TRUE(SameText("Set-Cookie", "SET-COOKIE"));
    EXPECT_FALSE(SameText("abc", "abcd"));
    EXPECT_FALSE(SameText("\xB1", "\x91"));
    EXPECT_LT(CompareText("a_b", "A_C"), 0);
    EXPECT_LT(CompareText("/a", "/a/b"), 0);
    EXPECT_LT(CompareText("_", "a"), 0);
    EXPECT_EQ(CompareText("/Path/", "/pATH/"), 0);
}

struct IntegerCase {
    const char* text;
    int value;
};

void PrintTo(const IntegerCase& row, std::ostream* out) {
    *out << row.text;
}

class IntegerConversion : public testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerConversion, ReadsValidTexts) {
    EXPECT_EQ(StrToInt(GetParam().text), GetParam().value);
    EXPECT_EQ(StrToIntDef(GetParam().text, 12345), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    DecimalAndHex, IntegerConversion,
    testing::Values(IntegerCase{"0", 0}, IntegerCase{"123", 123}, IntegerCase{"  -42", -42},
                    IntegerCase{"+7", 7}, IntegerCase{"007", 7}, IntegerCase{"$1F", 31},
                    IntegerCase{"x1f", 31}, IntegerCase{"0X10", 16}, IntegerCase{"-$10", -16},
                    IntegerCase{"2147483647", INT_MAX}, IntegerCase{"-2147483648", INT_MIN},
                    IntegerCase{"$7FFFFFFF", INT_MAX}, IntegerCase{"$FFFFFFFF", -1},
                    IntegerCase{"$80000000", INT_MIN}, IntegerCase{"$000000010", 16}));

class InvalidInteger : public testing::TestWithParam<const char*> {};

TEST_P(InvalidInteger, FailsStrictlyAndYieldsTheDefaultLeniently) {
    const std::string text = GetParam();
    EXPECT_EQ(StrToIntDef(text, -1), -1);
    try {
        StrToInt(text);
        FAIL() << "no error for '" << text << "'";
    } catch (const EConvertError& error) {
        EXPECT_EQ(error.what(), "'" + text + "' is not a valid integer value");
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, InvalidInteger,
                         testing::Values("", " ", "-", "12 ", "1.5", "12a", "$", "0x", "x", "FF",
                                         "\t1", "2147483648", "-2147483649", "$100000000", "--1"));

TEST(DecimalConversion, ReadsWhatTheGeneralConversionReadsInDecimal) {
    for (const char* text : {"0", "123", "  -42", "+7", "007", "2147483647", "-2147483648"}) {
        EXPECT_EQ(DecimalStrToInt(text), StrToInt(text)) << text;
        EXPECT_EQ(DecimalStrToIntDef(text, 12345), StrToInt(text)) << text;
        EXPECT_EQ(DecimalStrToInt64Def(text, 12345), StrToInt(text)) << text;
    }
    EXPECT_EQ(DecimalStrToInt64Def("-9223372036854775808", 0), INT64_MIN);
    EXPECT_EQ(DecimalStrToInt64Def("9223372036854775808", -1), -1);
}

class HexForDecimal : public testing::TestWithParam<const char*> {};

TEST_P(HexForDecimal, FailsStrictlyAndYieldsTheDefaultLeniently) {
    const std::string text = GetParam();
    EXPECT_EQ(DecimalStrToIntDef(text, -1), -1);
    EXPECT_EQ(DecimalStrToInt64Def(text, -1), -1);
    try {
        DecimalStrToInt(text);
        FAIL() << "no error for '" << text << "'";
    } catch (const EConvertError& error) {
        EXPECT_EQ(error.what(), "'" + text + "' is not a valid integer value");
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, HexForDecimal,
                         testing::Values("$1F", "x1f", "X10", "0x0", "0X50", "-$10", " $7CA", "",
                                         "12a", "1F"));

TEST(IntegerConversion, SixtyFourBitsLeniently) {
    EXPECT_EQ(StrToInt64Def("9223372036854775807", 0), INT64_MAX);
    EXPECT_EQ(StrToInt64Def("-9223372036854775808", 0), INT64_MIN);
    EXPECT_EQ(StrToInt64Def("9223372036854775808", -1), -1);
    EXPECT_EQ(StrToInt64Def("4294967296", -1), 4294967296);
    EXPECT_EQ(StrToInt64Def("$FFFFFFFFFFFFFFFF", 0), -1);
    EXPECT_EQ(StrToInt64Def("abc", -1), -1);
}

} // namespace
