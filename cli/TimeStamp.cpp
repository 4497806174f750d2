#include "cli/TimeStamp.h"

std::string LocalTimeText(std::time_t moment) {
    std::tm local{};
    localtime_r(&moment, &local);
    char text[64];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S %z", &local);
    return text;
}

std::string TimeStampLine(std::time_t moment) {
    return "[" + LocalTimeText(moment) + "] search";
}
