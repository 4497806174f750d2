#include "watch/MarkerText.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

using namespace watch;

TEST(MarkerText, PosIsOneBasedExactAndZeroWhenAbsent) {
    EXPECT_EQ(Pos("b", "abcb"), 2);
    EXPECT_EQ(Pos("abc", "abc"), 1);
    EXPECT_EQ(Pos("B", "abcb"), 0);
    EXPECT_EQ(Pos("abcd", "abc"), 0);
    EXPECT_EQ(Pos("", "abc"), 0);
    // A view of nothing has no data at all; the search must not touch it.
    EXPECT_EQ(Pos("a", std::string_view()), 0);
}

TEST(MarkerText, CopyClampsIndexAndCount) {
    EXPECT_EQ(Copy("", 1, 5), "");
    EXPECT_EQ(Copy("hello", 0, 2), "he");
    EXPECT_EQ(Copy("hello", -7, 2), "he");
    EXPECT_EQ(Copy("hello", 2, 3), "ell");
    EXPECT_EQ(Copy("hello", 5, 1), "o");
    EXPECT_EQ(Copy("hello", 6, 1), "");
    EXPECT_EQ(Copy("hello", 2, -1), "");
    EXPECT_EQ(Copy("hello", 2, 0), "");
    EXPECT_EQ(Copy("hello", 3, 100), "llo");
}

TEST(MarkerText, TextBetweenTakesBytesBetweenFirstMarkers) {
    EXPECT_EQ(TextBetween("#mb#", "#me#", "x#mb#hello#me#y"), "hello");
    EXPECT_EQ(TextBetween("#mb#", "#me#", "#mb#a#me#b#mb#c#me#"), "a");
    EXPECT_EQ(TextBetween("#mb#", "#me#", "x#mb##me#y"), "");
}

TEST(MarkerText, TextBetweenWithMissingOrMisplacedMarkers) {
    EXPECT_EQ(TextBetween("#mb#", "#me#", "plain text"), "");
    EXPECT_EQ(TextBetween("#mb#", "#me#", "x#mb#hello"), "");
    EXPECT_EQ(TextBetween("#mb#", "#me#", "a#me#b#mb#c"), "");
    // Only the end marker: from position Length(start) up to the end marker.
    EXPECT_EQ(TextBetween("#mb#", "#me#", "abcdefg#me#"), "defg");
    EXPECT_EQ(TextBetween("[", "]", "ab]"), "ab");
}

TEST(MarkerText, TextAfterKeepsTheLastByte) {
    EXPECT_EQ(TextAfter("</tr>", "a</tr>bc"), "bc");
    EXPECT_EQ(TextAfter("</tr>", "a</tr>"), "");
    EXPECT_EQ(TextAfter("</tr>", "a</tr>b</tr>c"), "b</tr>c");
    // Marker absent: the text from position Length(marker) on.
    EXPECT_EQ(TextAfter("</tr>", "0123456789"), "456789");
    EXPECT_EQ(TextAfter("</tr>", "abc"), "");
}

TEST(MarkerText, PercentHexEncodesEveryByteInUpperCase) {
    EXPECT_EQ(PercentHex(""), "");
    EXPECT_EQ(PercentHex("\n"), "%0A");
    EXPECT_EQ(PercentHex("abc"), "%61%62%63");
    EXPECT_EQ(PercentHex("\xB1\xB1\xBE\xA9"), "%B1%B1%BE%A9");
    EXPECT_EQ(PercentHex(std::string("\0\xFF", 2)), "%00%FF");
}

TEST(MarkerText, LowerAsciiChangesOnlyCapitalLettersByteForByte) {
    EXPECT_EQ(LowerAscii("Java@[Z]"), "java@[z]");
    // A GBK trail byte in the letter range is lowered as well.
    EXPECT_EQ(LowerAscii("\x81\x41\xB1\xB1"), "\x81\x61\xB1\xB1");
}

TEST(MarkerText, TrimRemovesBlanksAndControlBytesAtBothEnds) {
    EXPECT_EQ(Trim(" \t\r\n ab c \x01"), "ab c");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim("\xA1\xA1x\xA1\xA1"), "\xA1\xA1x\xA1\xA1");
}

TEST(MarkerText, PosFindsTheSameInShortAndLongTexts) {
    // Short texts and long ones are searched differently; near misses that share the first
    // or the last byte must not fool either.
    const std::string marker = "<td class=\"td1\">";
    for (size_t filler : {0u, 5u, 1000u, 5000u}) {
        std::string text = std::string(filler, 'x') + "<td class=\"td2\">" + "<td>" +
                           "<td class=\"td1\"" + "<" + marker + "tail";
        EXPECT_EQ(Pos(marker, text), static_cast<int>(filler) + 16 + 4 + 15 + 1 + 1) << filler;
        EXPECT_EQ(Pos(">", text), static_cast<int>(filler) + 16);
        EXPECT_EQ(Pos("tail", text), static_cast<int>(text.size()) - 3);
        EXPECT_EQ(Pos("taim", text), 0);
        EXPECT_EQ(Pos(text, text), 1);
    }
}

TEST(MarkerText, PosFindsEveryPlacementAsAPlainSearchDoes) {
    // Texts of up to three times the widest block the search tests at once, with the marker
    // at every offset behind decoys that share its first and last byte, for short and long
    // markers: the block loops and the byte-by-byte end must agree with a plain search.
    auto plainPos = [](std::string_view marker, std::string_view text) {
        return static_cast<int>(text.find(marker) + 1); // npos + 1 is 0
    };
    const std::vector<std::string> markers = {"<", "<>", "<td>", "<td class=\"td1\">",
                                              "<" + std::string(40, 'm') + ">"};
    for (const std::string& marker : markers) {
        std::string decoy = marker;
        if (decoy.size() > 2)
            decoy[1] = '#';
        for (size_t length = marker.size(); length <= 100; ++length) {
            for (size_t offset = 0; offset + marker.size() <= length; ++offset) {
                std::string text(length, 'x');
                for (size_t at = 0; at + decoy.size() <= offset; at += decoy.size() + 3)
                    text.replace(at, decoy.size(), decoy);
                text.replace(offset, marker.size(), marker);
                std::string cut = text.substr(0, length - 1);
                ASSERT_EQ(Pos(marker, text), plainPos(marker, text)) << marker << " in " << text;
                ASSERT_EQ(Pos(marker, cut), plainPos(marker, cut)) << marker << " in " << cut;
            }
        }
    }
}
