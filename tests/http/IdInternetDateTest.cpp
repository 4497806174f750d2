#include "http/IdInternetDate.h"
#include "tests/http/TimeZoneGuard.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

namespace {

constexpr double kOneSecond = 1.0 / 86400;
constexpr double kHour = 1.0 / 24;

// 6 November 1994 is day 34644 after 30 December 1899; 08:49:37 is second 31777 of the day.
constexpr double kRfc2616Example = 34644 + 31777.0 / 86400;

struct DateCase {
    const char* text;
    double value;
    const char* remainder;
};

void PrintTo(const DateCase& row, std::ostream* out) {
    *out << row.text;
}

class ParseDate : public testing::TestWithParam<DateCase> {};

TEST_P(ParseDate, ReadsTheMomentAndHandsBackTheRest) {
    std::string text = GetParam().text;
    EXPECT_NEAR(ParseInternetDate(text), GetParam().value, kOneSecond / 100);
    EXPECT_EQ(text, GetParam().remainder);
}

INSTANTIATE_TEST_SUITE_P(
    ThreeFormsOfOneMoment, ParseDate,
    testing::Values(DateCase{"Sun, 06 Nov 1994 08:49:37 GMT", kRfc2616Example, "GMT"},
                    DateCase{"Sunday, 06-Nov-94 08:49:37 GMT", kRfc2616Example, "GMT"},
                    DateCase{"Sun Nov  6 08:49:37 1994", kRfc2616Example, ""}));

INSTANTIATE_TEST_SUITE_P(
    Variants, ParseDate,
    testing::Values(DateCase{"  sun, 06 nov 1994 08:49:37 +0800  ", kRfc2616Example, "+0800"},
                    DateCase{"06 Nov 1994 08:49:37 GMT", kRfc2616Example, "GMT"},
                    DateCase{"Sun, 06 Nov 1994", 34644, ""},
                    DateCase{"Sunday, 06-Nov-94", 34644, ""},
                    DateCase{"Mon, 01-Jan-79 00:00:00 GMT", 65381, "GMT"},
                    DateCase{"Tue, 01 Jan 80 00:00:00 GMT", 29221, "GMT"},
                    DateCase{"Sun, 06 Nov 1994 8:9 GMT", 34644 + (8 * 3600 + 9 * 60) / 86400.0,
                             "GMT"},
                    DateCase{"Sun, 29 Feb 2004 00:00:00", 38046, ""}));

// Only decimal digits make a day, year or time field; a hexadecimal spelling counts as no
// number, with the fallback each field has.
INSTANTIATE_TEST_SUITE_P(
    HexadecimalFields, ParseDate,
    testing::Values(DateCase{"Sun, 06 Nov x7CA 08:49:37 GMT", 311, "x7CA"},
                    DateCase{"Sun, 06 Nov $7CA 08:49:37 GMT", 311, "$7CA"},
                    DateCase{"Sun, 06 Nov 0x7CA 08:49:37 GMT", 311, "0x7CA"},
                    DateCase{"Sun, $6 Nov 1994 08:49:37 GMT", 34639 + 31777.0 / 86400, "GMT"},
                    DateCase{"Sun, 06 Nov 1994 0x8:x31:$25 GMT", 34644, "GMT"}));

class UnreadableDate : public testing::TestWithParam<const char*> {};

TEST_P(UnreadableDate, GivesZero) {
    std::string text = GetParam();
    EXPECT_EQ(ParseInternetDate(text), 0);
}

INSTANTIATE_TEST_SUITE_P(Texts, UnreadableDate,
                         testing::Values("", "   ", "garbage", "Sun, 31 Feb 1994 08:49:37 GMT",
                                         "Sun, 06 Foo 1994 08:49:37 GMT",
                                         "Sun, 06 Nov 1994 24:00:00 GMT",
                                         "Sun, 06 Nov 1994 08:60:00 GMT", "Sun, 06 Nov 19940"));

TEST(DayAndMonthNames, AreRecognisedInAnyCase) {
    EXPECT_EQ(DayNumber("Sun"), 1);
    EXPECT_EQ(DayNumber("sat"), 7);
    EXPECT_EQ(DayNumber("Sunday"), 0);
    EXPECT_EQ(MonthNumber("JAN"), 1);
    EXPECT_EQ(MonthNumber("dec"), 12);
    EXPECT_EQ(MonthNumber("Ja"), 0);
}

TEST(ZoneOffset, ReadsSignedHoursAndMinutes) {
    EXPECT_DOUBLE_EQ(ParseZoneOffset("+0800"), 8 * kHour);
    EXPECT_DOUBLE_EQ(ParseZoneOffset("-0130"), -1.5 * kHour);
    EXPECT_DOUBLE_EQ(ParseZoneOffset("  +0800 (CST)"), 8 * kHour);
    EXPECT_EQ(ParseZoneOffset("GMT"), 0);
    EXPECT_EQ(ParseZoneOffset("EST"), 0);
    EXPECT_EQ(ParseZoneOffset("+08"), 0);
    EXPECT_EQ(ParseZoneOffset("+2500"), 0);
    EXPECT_EQ(ParseZoneOffset("+08xx"), 0);
    EXPECT_EQ(ParseZoneOffset("+x100"), 0);
    EXPECT_EQ(ParseZoneOffset("-$1$1"), 0);
    EXPECT_EQ(ParseZoneOffset("+08x1"), 0);
    EXPECT_EQ(ParseZoneOffset(""), 0);
}

TEST(ZoneOffset, FormatsAsSignedHoursAndMinutes) {
    EXPECT_EQ(FormatZoneOffset(8 * kHour, true), "+0800");
    EXPECT_EQ(FormatZoneOffset(-5.5 * kHour, false), "-0530");
    EXPECT_EQ(FormatZoneOffset(0, true), "GMT");
    EXPECT_EQ(FormatZoneOffset(0, false), "+0000");
}

TEST(LocalUtcOffset, FollowsTheTimeZoneDaylightSavingIncluded) {
    {
        TimeZoneGuard zone("CST-8");
        EXPECT_DOUBLE_EQ(LocalUtcOffset(), 8 * kHour);
    }
    {
        TimeZoneGuard zone("EST5");
        EXPECT_DOUBLE_EQ(LocalUtcOffset(), -5 * kHour);
    }
    {
        // Daylight time the whole year round, one hour ahead of standard time.
        TimeZoneGuard zone("XST-1XDT,J1/0,J365/25");
        EXPECT_DOUBLE_EQ(LocalUtcOffset(), 2 * kHour);
    }
}

TEST(Now, IsLocalTime) {
    TimeZoneGuard zone("CST-8");
    const double utcNow = 25569 + static_cast<double>(std::time(nullptr)) / 86400;
    EXPECT_NEAR(Now(), utcNow + 8 * kHour, 2 * kOneSecond);
}

TEST(InternetDateToLocal, AppliesTheZoneAndTheLocalOffset) {
    {
        TimeZoneGuard zone("UTC0");
        EXPECT_NEAR(InternetDateToLocal("Sun, 06 Nov 1994 08:49:37 +0800"),
                    34644 + (49 * 60 + 37) / 86400.0, kOneSecond / 100);
        EXPECT_NEAR(InternetDateToLocal("Sun, 06 Nov 1994 08:49:37 GMT"), kRfc2616Example,
                    kOneSecond / 100);
    }
    TimeZoneGuard zone("CST-8");
    EXPECT_NEAR(InternetDateToLocal("Sun, 06 Nov 1994 08:49:37 +0800"), kRfc2616Example,
                kOneSecond / 100);
    EXPECT_NEAR(InternetDateToLocal("Sun Nov  6 08:49:37 1994"), kRfc2616Example + 8 * kHour,
                kOneSecond / 100);
    EXPECT_DOUBLE_EQ(InternetDateToLocal("garbage"), 8 * kHour);
}

TEST(FormatInternetDate, WritesTheLocalZone) {
    {
        TimeZoneGuard zone("CST-8");
        EXPECT_EQ(FormatInternetDate(kRfc2616Example, true), "Sun, 6 Nov 1994 08:49:37 +0800");
        EXPECT_EQ(FormatInternetDate(65381.5, false), "Sun, 1 Jan 2079 12:00:00 +0800");
    }
    TimeZoneGuard zone("UTC0");
    EXPECT_EQ(FormatInternetDate(kRfc2616Example, true), "Sun, 6 Nov 1994 08:49:37 GMT");
    EXPECT_EQ(FormatInternetDate(kRfc2616Example, false), "Sun, 6 Nov 1994 08:49:37 +0000");
}

TEST(FormatInternetDate, ReadsBackAsTheSameLocalMoment) {
    TimeZoneGuard zone("EST5");
    const double now = Now();
    EXPECT_NEAR(InternetDateToLocal(FormatInternetDate(now, false)), now, kOneSecond);
    EXPECT_NEAR(InternetDateToLocal(FormatInternetDate(now, true)), now, kOneSecond);
}

} // namespace
