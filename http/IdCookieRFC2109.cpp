#include "http/IdCookieRFC2109.h"

#include "http/IdGlobal.h"
#include "http/IdInternetDate.h"
#include "net/IdException.h"

#include <algorithm>
#include <cmath>

namespace {

// The moment maxAge seconds from now, no later than the last second that a date text can
// hold, so that a huge Max-Age still reads back as a date in the future.
TDateTime ExpiryAfter(std::int64_t maxAge) {
    const TDateTime latest = *TryEncodeDate(9999, 12, 31) + *TryEncodeTime(23, 59, 59);
    return std::min(Now() + static_cast<double>(maxAge) / 86400, latest);
}

} // namespace

std::string TIdCookieRFC2109::FormatCookieText() const {
    std::string text = TIdNetscapeCookie::FormatCookieText();
    if (MaxAge > -1 && Expires.empty()) {
        AppendAttribute(text, "max-age", std::to_string(MaxAge));
    }
    AppendAttribute(text, "comment", Comment);
    AppendAttribute(text, "version", Version);
    return text;
}

void TIdCookieRFC2109::StoreExpires(std::string_view text) {
    if (!text.empty()) {
        try {
            MaxAge =
                static_cast<std::int64_t>(std::trunc((InternetDateToLocal(text) - Now()) * 86400));
        } catch (const EIdException&) {
            // Without the time zone the max-age stays as it was.
        }
    }
    TIdNetscapeCookie::StoreExpires(text);
}

void TIdCookieRFC2109::ApplyAttributes(const TIdCookieAttributes& attributes) {
    TIdNetscapeCookie::ApplyAttributes(attributes);
    MaxAge = DecimalStrToInt64Def(CookieAttributeValue(attributes, "MAX-AGE"), -1);
    Version = CookieAttributeValue(attributes, "VERSION");
    Comment = CookieAttributeValue(attributes, "COMMENT");
    if (Expires.empty()) {
        InternalVersion = TIdCookieVersion::cvNetscape;
        if (MaxAge >= 0) {
            StoreExpires(FormatInternetDate(ExpiryAfter(MaxAge), false));
        }
    }
}

void TIdCookieRFC2109::Assign(const TIdNetscapeCookie& source) {
    TIdNetscapeCookie::Assign(source);
    if (const auto* cookie = dynamic_cast<const TIdCookieRFC2109*>(&source)) {
        MaxAge = cookie->MaxAge;
    }
}
