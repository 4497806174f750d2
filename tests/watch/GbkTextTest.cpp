#include "watch/GbkText.h"

#include <gtest/gtest.h>

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

TEST(GbkText, CharactersGbkCannotHoldBecomeQuestionMarks) {
    EXPECT_EQ(GbkFromUtf8("a\xF0\x9F\x98\x80"
                          "b"),
              "a?b"); // an emoji
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
    // A lead and a trail byte that name no character are one character: one "?".
    EXPECT_EQ(Utf8FromGbk("\xAA\xA1"
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
