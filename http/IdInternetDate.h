#pragma once

#include <optional>
#include <string>
#include <string_view>

// A date-time is a count of days since 30 December 1899, 00:00, the fraction being the time
// of day; 0 stands for no date.  A time span (an offset from UTC) uses the same unit.
using TDateTime = double;

std::optional<TDateTime> TryEncodeDate(int year, int month, int day);
std::optional<TDateTime> TryEncodeTime(int hour, int minute, int second);

// The local date-time now.
TDateTime Now();

// 1 (Sunday) to 7 (Saturday) for a three-letter day name, 1 to 12 for a three-letter month
// name, in any case; 0 for any other text.
int DayNumber(std::string_view text);
int MonthNumber(std::string_view text);

// Reads an RFC 1123, RFC 850 or asctime date as written, no zone applied; text is left
// holding what was not read (normally the zone).  Unreadable text gives 0.
TDateTime ParseInternetDate(std::string& text);

// The offset east of UTC of a "+hhmm" or "-hhmm" zone; any other zone counts as UTC (0).
TDateTime ParseZoneOffset(std::string_view text);

// Local time minus UTC, now, daylight saving included.  Raises EIdException when the
// platform cannot tell.
TDateTime LocalUtcOffset();

// The local date-time of an Internet date text with its zone.
TDateTime InternetDateToLocal(std::string_view text);

// "Sun, 6 Nov 1994 08:49:37 +0800": the value with the current local zone offset.
std::string FormatInternetDate(TDateTime value, bool gmtName = true);

// "+0800", "-0130"; "GMT" for an offset of 0 when gmtName is set.
std::string FormatZoneOffset(TDateTime offset, bool gmtName = true);
