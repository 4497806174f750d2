#pragma once

#include "http/IdCookie.h"

#include <cstdint>
#include <string>
#include <string_view>

// A cookie from a "Set-cookie" header: the Netscape form plus Max-Age, Version and Comment.
class TIdCookieRFC2109 : public TIdNetscapeCookie {
public:
    TIdCookieRFC2109() : TIdCookieRFC2109(TIdCookieVersion::cvRFC2109) {}

    std::string FormatCookieText() const override;
    // Also derives the max-age from the expiry text.
    void StoreExpires(std::string_view text) override;
    void ApplyAttributes(const TIdCookieAttributes& attributes) override;
    void Assign(const TIdNetscapeCookie& source) override;

    std::int64_t MaxAge = -1; // seconds; -1: absent
    std::string Version;
    std::string Comment;

protected:
    explicit TIdCookieRFC2109(TIdCookieVersion version) : TIdNetscapeCookie(version) {}
};
