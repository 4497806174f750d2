#pragma once

#include <ctime>
#include <string>

// "2026-12-09 02:03:20 +0100": a moment in local time, as a log reader wants it.
std::string LocalTimeText(std::time_t moment);

// "[2026-12-09 02:03:20 +0100] search": the line that goes before each search of a watch,
// which starts at `moment`.
std::string TimeStampLine(std::time_t moment = std::time(nullptr));
