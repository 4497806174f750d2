#include "watch/GbkText.h"

#include <gtest/gtest.h>

#include <iconv.h>

using namespace watch;

TEST(GbkText, LiteralsBecomeGbkBytes) {
    EXPECT_EQ(Gbk("北京"), "\xB1\xB1\xBE\xA9");
    EXPECT_EQ(Gbk("一天内"), "\xD2\xBB\xCC\xEC\xC4\xDA");
    EXPECT_EQ(Gbk("plain ASCII"), "plain ASCII");
}

TEST(GbkText, RoundTripsThroughUtf8) {
    std::string utf8 = "公司名关键字：IBM 半小时！";
    EXPECT_EQ(Utf8FromGbk(GbkFromUtf8(utf8)), utf8);
}

TEST(GbkText, CharactersGbkCannotHoldKeepTheirGb18030Bytes) {
    EXPECT_EQ(GbkFromUtf8("a\xF0\x9F\x98\x80"
                          "b"),
              "a\x94\x39\xFC\x36"
              "b"); // an emoji
    for (std::string utf8 : {"Ingénieur", "Ελληνικά 😀", "€ ₩ ﬁ", "\xEE\x80\x80"})
        EXPECT_EQ(Utf8FromGbk(GbkFromUtf8(utf8)), utf8);
}

TEST(GbkText, TextThatIsNotUtf8BecomesQuestionMarks) {
    EXPECT_EQ(GbkFromUtf8("a\xFF"
                          "b"),
              "a?b");                          // not UTF-8 at all
    EXPECT_EQ(GbkFromUtf8("a\xE5\x8C"), "a?"); // cut short at the end
}

TEST(GbkText, InvalidGbkBytesBecomeQuestionMarks) {
    EXPECT_EQ(Utf8FromGbk("a\xB1"), "a?"); // lead byte without trail
    EXPECT_EQ(Utf8FromGbk("\xFF"
                          "x\xB1\xB1"),
              "?x北");
}

TEST(GbkText, LongTextsConvertCompletely) {
    std::string utf8;
    for (int i = 0; i < 3000; ++i)
        utf8 += "职位";
    std::string gbk = GbkFromUtf8(utf8);
    EXPECT_EQ(gbk.size(), 12000u);
    EXPECT_EQ(Utf8FromGbk(gbk), utf8);
}

TEST(GbkText, AnInvalidLeadByteTakesNoTrailByteThatCannotBeOne) {
    // A byte below 0x40, or 0x7F, cannot follow a lead byte: it is read on its own.
    EXPECT_EQ(Utf8FromGbk("\x81\x20"
                          "C"),
              "? C");
    EXPECT_EQ(Utf8FromGbk("\xB1"
                          "1\xB1\x7F"
                          "a"),
              "?1?\x7F"
              "a");
    EXPECT_EQ(Utf8FromGbk("\xB1\r\n"), "?\r\n");
    // GBK's user-defined area reads as the private-use characters it stands for.
    EXPECT_EQ(Utf8FromGbk("\xAA\xA1"
                          "x"),
              "\xEE\x80\x80"
              "x");
    // Four bytes of the four-byte shape that name no character are one character: one "?".
    EXPECT_EQ(Utf8FromGbk("\xFE\x39\xFE\x39"
                          "x"),
              "?x");
}

TEST(GbkText, ABrokenUtf8SequenceTakesOnlyItsContinuationBytes) {
    EXPECT_EQ(GbkFromUtf8("\xE4\x20"
                          "C"),
              "? C");
    EXPECT_EQ(GbkFromUtf8("\xE4\xB8"
                          "C"),
              "?C");
    EXPECT_EQ(GbkFromUtf8("\xF0\x9F"
                          "\xE5\x8C\x97"),
              "?" + Gbk("北"));
}

TEST(GbkText, ConversionsInTurnDoNotDisturbEachOther) {
    // One converter for each direction serves every conversion; a conversion that ended on
    // a broken sequence leaves nothing behind for the next one.
    EXPECT_EQ(Utf8FromGbk("a\xB1"), "a?");
    EXPECT_EQ(Utf8FromGbk("\xB1\xB1"), "北");
    EXPECT_EQ(GbkFromUtf8("a\xE5\x8C"), "a?");
    EXPECT_EQ(GbkFromUtf8("\x97"), "?");
    EXPECT_EQ(GbkFromUtf8("\xE5\x8C\x97"), Gbk("北"));
}

// Every character of GBK reads and writes exactly as it did when the edges converted as GBK,
// so the classic board's pages show as they always have.
TEST(GbkText, EveryTwoByteGbkCodeConvertsAsGbkDoes) {
    iconv_t fromGbk = iconv_open("UTF-8", "GBK");
    ASSERT_NE(fromGbk, reinterpret_cast<iconv_t>(-1));
    int codes = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            std::string gbk = {static_cast<char>(lead), static_cast<char>(trail)};
            char utf8[8];
            char* in = gbk.data();
            size_t inLeft = gbk.size();
            char* out = utf8;
            size_t outLeft = sizeof utf8;
            iconv(fromGbk, nullptr, nullptr, nullptr, nullptr);
            if (iconv(fromGbk, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1))
                continue;
            ++codes;
            std::string expected(utf8, out);
            ASSERT_EQ(Utf8FromGbk(gbk), expected) << std::hex << lead << trail;
            ASSERT_EQ(GbkFromUtf8(expected), gbk) << std::hex << lead << trail;
        }
    }
    iconv_close(fromGbk);
    EXPECT_GT(codes, 21000);
}
