#pragma once

#include <string>

// printf-style formatting into a std::string, for the fixed texts of IdResourceStrings.h.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
