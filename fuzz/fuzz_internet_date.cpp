// Internet date text in its three forms and zone offsets, over arbitrary text; every date
// that parses is formatted back.

#include "FuzzInput.h"
#include "http/IdInternetDate.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    std::string text = input.Rest();

    std::string remainder = text;
    TDateTime parsed = ParseInternetDate(remainder);
    TDateTime zone = ParseZoneOffset(remainder);
    TDateTime local = InternetDateToLocal(text);
    DayNumber(text);
    MonthNumber(text);
    for (TDateTime value : {parsed, local, parsed - zone}) {
        if (value != 0)
            FormatInternetDate(value);
    }
    FormatZoneOffset(zone);
    return 0;
}
