#pragma once

#include <string>
#include <string_view>
#include <vector>

// The form a cookie was set in; it decides whether its expiry is written as "expires".
enum class TIdCookieVersion { cvNetscape = 0, cvRFC2109 = 1, cvRFC2965 = 2 };

// The attributes of a cookie text after its name and value, each trimmed ("path=/",
// "secure").  Names are compared without regard to case; the first entry of a name counts.
using TIdCookieAttributes = std::vector<std::string>;

// The value of the first "name=value" entry, empty when there is none.
std::string CookieAttributeValue(const TIdCookieAttributes& attributes, std::string_view name);
// Whether an entry consisting of the name alone exists.
bool HasCookieAttribute(const TIdCookieAttributes& attributes, std::string_view name);

// A cookie in its Netscape form: name, value, path, domain, expiry and the secure flag.
class TIdNetscapeCookie {
public:
    TIdNetscapeCookie() : TIdNetscapeCookie(TIdCookieVersion::cvNetscape) {}
    virtual ~TIdNetscapeCookie() = default;
    TIdNetscapeCookie(const TIdNetscapeCookie&) = delete;
    TIdNetscapeCookie& operator=(const TIdNetscapeCookie&) = delete;

    // Reads a Set-Cookie value into the fields; the text last read is not read again.
    void ParseCookieText(std::string_view text);

    // The Set-Cookie form of the cookie.
    virtual std::string FormatCookieText() const;
    // name=value, as a Cookie header carries it.
    std::string ClientPair() const { return CookieName + "=" + Value; }

    virtual void StoreExpires(std::string_view text);
    virtual void ApplyAttributes(const TIdCookieAttributes& attributes);

    // Whether a server at host may set this cookie, judged by its domain.
    bool AcceptableFor(std::string_view host) const;

    // Takes over the attributes of a TIdCookieRFC2109 (or descendant) through its Set-Cookie
    // form, and its expiry as it stands; any other source is ignored.
    virtual void Assign(const TIdNetscapeCookie& source);

    std::string CookieText; // the header value last parsed
    std::string Domain;     // the Domain attribute, or the request host without one
    std::string Expires;    // expiry as text; empty: none
    std::string CookieName;
    std::string Path; // without surrounding double quotes
    bool Secure = false;
    std::string Value; // exactly as received, quotes and "=" kept
    TIdCookieVersion InternalVersion;

protected:
    explicit TIdNetscapeCookie(TIdCookieVersion version) : InternalVersion(version) {}

    // Appends a part, after "; " unless it is the first.
    static void AppendPart(std::string& text, std::string_view part);
    // Appends name "=" value as a part when value is not empty.
    static void AppendAttribute(std::string& text, std::string_view name, std::string_view value);
};
