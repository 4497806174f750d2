#include "watch/IsoTime.h"

namespace watch {
namespace {

// Reads `count` digits at `at`; nothing when any of them is not a digit.
std::optional<int> Digits(std::string_view text, size_t at, size_t count) {
    if (at + count > text.size())
        return std::nullopt;
    int value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// Days from 1970-01-01 to the date in the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
    year -= month <= 2;
    std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    std::int64_t yearOfEra = year - era * 400;
    std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// The offset east of UTC in seconds of "Z", "+HH:MM", "+HHMM" or "-..." filling `rest`.
std::optional<std::int64_t> OffsetSeconds(std::string_view rest) {
    if (rest == "Z" || rest == "z")
        return 0;
    if (rest.size() != 6 && rest.size() != 5)
        return std::nullopt;
    if (rest[0] != '+' && rest[0] != '-')
        return std::nullopt;
    size_t minutesAt = rest.size() == 6 ? 4 : 3;
    if (rest.size() == 6 && rest[3] != ':')
        return std::nullopt;
    std::optional<int> hours = Digits(rest, 1, 2);
    std::optional<int> minutes = Digits(rest, minutesAt, 2);
    if (!hours || !minutes || *hours > 23 || *minutes > 59)
        return std::nullopt;
    std::int64_t seconds = *hours * 3600 + *minutes * 60;
    return rest[0] == '-' ? -seconds : seconds;
}

} // namespace

std::optional<std::int64_t> IsoTimeSeconds(std::string_view text) {
    if (text.size() < 20 || text[4] != '-' || text[7] != '-' ||
        (text[10] != 'T' && text[10] != 't') || text[13] != ':' || text[16] != ':')
        return std::nullopt;
    std::optional<int> year = Digits(text, 0, 4), month = Digits(text, 5, 2),
                       day = Digits(text, 8, 2), hour = Digits(text, 11, 2),
                       minute = Digits(text, 14, 2), second = Digits(text, 17, 2);
    if (!year || !month || !day || !hour || !minute || !second || *month < 1 || *month > 12 ||
        *day < 1 || *day > 31 || *hour > 23 || *minute > 59 || *second > 60)
        return std::nullopt;
    size_t rest = 19;
    if (text[rest] == '.') {
        ++rest;
        while (rest < text.size() && text[rest] >= '0' && text[rest] <= '9')
            ++rest;
    }
    std::optional<std::int64_t> offset = OffsetSeconds(text.substr(rest));
    if (!offset)
        return std::nullopt;
    std::int64_t local =
        DaysFromCivil(*year, *month, *day) * 86400 + *hour * 3600 + *minute * 60 + *second;
    return local - *offset;
}

} // namespace watch
