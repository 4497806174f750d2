#include "http/IdInternetDate.h"

#include "http/IdGlobal.h"
#include "http/IdResourceStrings.h"
#include "net/IdException.h"

#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

constexpr std::array<std::string_view, 7> kDayNames = {"Sun", "Mon", "Tue", "Wed",
                                                       "Thu", "Fri", "Sat"};
constexpr std::array<std::string_view, 12> kMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

constexpr long long kSecondsPerDay = 86400;
constexpr long long kMillisecondsPerDay = kSecondsPerDay * 1000;
constexpr long long kUnixEpochDay = 25569; // 1 January 1970 as a date-time

// Days since 1 January 1970 of a proleptic Gregorian date (H. Hinnant's algorithm).
long long DaysFromCivil(long long year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<long long>(dayOfEra) - 719468;
}

struct CivilDate {
    long long year;
    unsigned month;
    unsigned day;
};

CivilDate CivilFromDays(long long days) {
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
    const unsigned day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    const unsigned month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    return {static_cast<long long>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

bool IsLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month) {
    constexpr std::array<int, 12> days = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[static_cast<std::size_t>(month) - 1];
}

// Seconds east of UTC of local time at the given moment.
long UtcOffsetSecondsAt(std::time_t moment) {
    std::tm local{};
    if (localtime_r(&moment, &local) == nullptr) {
        throw EIdException(RSFailedTimeZoneInfo);
    }
    return local.tm_gmtoff;
}

int NameIndex(std::string_view text, const auto& names) {
    for (std::size_t index = 0; index < names.size(); ++index) {
        if (SameText(text, names[index])) {
            return static_cast<int>(index) + 1;
        }
    }
    return 0;
}

// The field separator of the day-month-year part: "-" in the RFC 850 form, else the blank.
std::string_view FieldSeparator(std::string_view text) {
    const int dash = TextPos("-", text);
    const int blank = TextPos(" ", text);
    return dash > 1 && (blank == 0 || dash < blank) ? "-" : " ";
}

// The readers below take their field off the front of text, a view into the date's bytes.
int ReadMonth(std::string_view& text, std::string_view separator) {
    const int month = MonthNumber(TakeTokenView(text, separator));
    text = TrimLeftView(text);
    return month;
}

int ReadDay(std::string_view& text, std::string_view separator) {
    const int day = DecimalStrToIntDef(TakeTokenView(text, separator), 1);
    text = TrimLeftView(text);
    return day;
}

// In the asctime form the time stands before the year, so a token that is no year is put
// back as the remaining text and the year is read from what followed it.
int ReadYear(std::string_view& text) {
    const std::string_view token = TakeTokenView(text, " ");
    int year = DecimalStrToIntDef(token, 1900);
    if (year == 1900) {
        year = DecimalStrToIntDef(text, 1900);
        text = token;
    }
    if (year < 80) {
        year += 2000;
    } else if (year <= 99) {
        year += 1900;
    }
    return year;
}

std::optional<TDateTime> ReadTimeOfDay(std::string_view& text) {
    std::string_view time = TakeTokenView(text, " ");
    const int hours = DecimalStrToIntDef(TakeTokenView(time, ":"), 0);
    const int minutes = DecimalStrToIntDef(TakeTokenView(time, ":"), 0);
    const int seconds = DecimalStrToIntDef(time, 0);
    return TryEncodeTime(hours, minutes, seconds);
}

std::optional<TDateTime> ReadDateAndTime(std::string_view& text) {
    if (DayNumber(text.substr(0, 3)) != 0) {
        TakeTokenView(text, " ");
        text = TrimLeftView(text);
    }
    const std::string_view separator = FieldSeparator(text);
    int day = 0;
    int month = 0;
    if (MonthNumber(TakeTokenView(text, separator, false)) != 0) {
        month = ReadMonth(text, separator);
        day = ReadDay(text, separator);
    } else {
        day = ReadDay(text, separator);
        month = ReadMonth(text, separator);
    }
    const int year = ReadYear(text);
    std::optional<TDateTime> value = TryEncodeDate(year, month, day);
    if (value && TextPos(":", text) > 0) {
        const std::optional<TDateTime> time = ReadTimeOfDay(text);
        value = time ? std::optional<TDateTime>(*value + *time) : std::nullopt;
    }
    text = TrimLeftView(text);
    return value;
}

} // namespace

std::optional<TDateTime> TryEncodeDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month)) {
        return std::nullopt;
    }
    const long long days =
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    return static_cast<TDateTime>(days + kUnixEpochDay);
}

std::optional<TDateTime> TryEncodeTime(int hour, int minute, int second) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) {
        return std::nullopt;
    }
    return static_cast<TDateTime>(hour * 3600 + minute * 60 + second) / kSecondsPerDay;
}

TDateTime Now() {
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    const long long milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count();
    const auto seconds = static_cast<std::time_t>(milliseconds / 1000);
    const long long localMilliseconds = milliseconds + UtcOffsetSecondsAt(seconds) * 1000LL;
    return kUnixEpochDay + static_cast<TDateTime>(localMilliseconds) / kMillisecondsPerDay;
}

int DayNumber(std::string_view text) {
    return NameIndex(text, kDayNames);
}

int MonthNumber(std::string_view text) {
    return NameIndex(text, kMonthNames);
}

TDateTime ParseInternetDate(std::string& text) {
    std::string_view rest = TrimView(text);
    const std::optional<TDateTime> value =
        rest.empty() ? std::optional<TDateTime>(0) : ReadDateAndTime(rest);
    text = std::string(rest);
    return value.value_or(0);
}

TDateTime ParseZoneOffset(std::string_view text) {
    const std::string_view zone = TrimView(text).substr(0, 5);
    if (zone.empty() || (zone[0] != '+' && zone[0] != '-')) {
        return 0;
    }
    const int hours = DecimalStrToIntDef(zone.substr(1, 2), -1);
    const int minutes =
        DecimalStrToIntDef(zone.substr(std::min<std::size_t>(3, zone.size()), 2), -1);
    const std::optional<TDateTime> offset = TryEncodeTime(hours, minutes, 0);
    if (!offset) {
        return 0;
    }
    return zone[0] == '-' ? -*offset : *offset;
}

TDateTime LocalUtcOffset() {
    return static_cast<TDateTime>(UtcOffsetSecondsAt(std::time(nullptr))) / kSecondsPerDay;
}

TDateTime InternetDateToLocal(std::string_view text) {
    std::string zone(text);
    const TDateTime value = ParseInternetDate(zone);
    const TDateTime offset = zone.size() > 4 ? ParseZoneOffset(zone) : 0;
    return value - offset + LocalUtcOffset();
}

std::string FormatInternetDate(TDateTime value, bool gmtName) {
    const auto milliseconds = std::llround(value * kMillisecondsPerDay);
    const long long day =
        static_cast<long long>(std::floor(static_cast<double>(milliseconds) / kMillisecondsPerDay));
    const long long secondOfDay = (milliseconds - day * kMillisecondsPerDay) / 1000;
    const CivilDate date = CivilFromDays(day - kUnixEpochDay);
    // 30 December 1899, day 0, was a Saturday.
    const long long weekday = ((day + 6) % 7 + 7) % 7;

    char text[96];
    std::snprintf(text, sizeof text, "%s, %u %s %lld %02lld:%02lld:%02lld %s",
                  kDayNames[static_cast<std::size_t>(weekday)].data(), date.day,
                  kMonthNames[date.month - 1].data(), date.year, secondOfDay / 3600,
                  secondOfDay / 60 % 60, secondOfDay % 60,
                  FormatZoneOffset(LocalUtcOffset(), gmtName).c_str());
    return text;
}

std::string FormatZoneOffset(TDateTime offset, bool gmtName) {
    if (offset == 0 && gmtName) {
        return "GMT";
    }
    const long long minutes = std::llround(std::fabs(offset) * 24 * 60);
    char text[32];
    std::snprintf(text, sizeof text, "%c%02lld%02lld", offset < 0 ? '-' : '+', minutes / 60,
                  minutes % 60);
    return text;
}
