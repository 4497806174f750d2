#include "http/IdCookie.h"

#include "http/IdCookieRFC2109.h"
#include "http/IdGlobal.h"

#include <algorithm>

namespace {

// Splits a cookie text at every ";" into trimmed pieces; a last piece that is only blanks
// stays as an empty entry.  A text without ";" is one entry, untrimmed.
TIdCookieAttributes SplitCookieText(std::string_view text) {
    if (text.find(';') == std::string_view::npos) {
        return {std::string(text)};
    }
    TIdCookieAttributes entries;
    std::size_t start = 0;
    for (std::size_t semicolon = text.find(';'); semicolon != std::string_view::npos;
         semicolon = text.find(';', start)) {
        entries.push_back(Trim(text.substr(start, semicolon - start)));
        start = semicolon + 1;
    }
    if (start < text.size()) {
        entries.push_back(Trim(text.substr(start)));
    }
    return entries;
}

std::string WithoutSurroundingQuotes(std::string text) {
    if (!text.empty() && text.front() == '"') {
        text.erase(0, 1);
    }
    if (!text.empty() && text.back() == '"') {
        text.pop_back();
    }
    return text;
}

bool IsByteValue(std::string_view field) {
    return !field.empty() && field.size() <= 3 &&
           std::all_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
           std::stoi(std::string(field)) <= 255;
}

// Whether the first four "."-separated fields, trimmed, are decimal numbers from 0 to 255.
bool IsDottedQuad(std::string_view text) {
    for (int field = 0; field < 4; ++field) {
        const std::size_t dot = text.find('.');
        if (dot == std::string_view::npos && field < 3) {
            return false;
        }
        if (!IsByteValue(Trim(text.substr(0, dot)))) {
            return false;
        }
        text.remove_prefix(dot == std::string_view::npos ? text.size() : dot + 1);
    }
    return true;
}

// The host from its first "." on; the whole host when it has none.
std::string_view ParentDomain(std::string_view host) {
    const std::size_t dot = host.find('.');
    return dot == std::string_view::npos ? host : host.substr(dot);
}

} // namespace

std::string CookieAttributeValue(const TIdCookieAttributes& attributes, std::string_view name) {
    for (const std::string& entry : attributes) {
        const std::size_t equals = entry.find('=');
        if (equals != std::string::npos &&
            SameText(std::string_view(entry).substr(0, equals), name)) {
            return entry.substr(equals + 1);
        }
    }
    return {};
}

bool HasCookieAttribute(const TIdCookieAttributes& attributes, std::string_view name) {
    return std::any_of(attributes.begin(), attributes.end(),
                       [name](const std::string& entry) { return SameText(entry, name); });
}

void TIdNetscapeCookie::ParseCookieText(std::string_view text) {
    if (text == CookieText) {
        return;
    }
    CookieText = text;
    TIdCookieAttributes attributes = SplitCookieText(text);
    const std::string& pair = attributes.front();
    const std::size_t equals = pair.find('=');
    CookieName = equals == std::string::npos ? std::string() : pair.substr(0, equals);
    Value = equals == std::string::npos ? std::string() : pair.substr(equals + 1);
    attributes.erase(attributes.begin());
    ApplyAttributes(attributes);
}

void TIdNetscapeCookie::AppendPart(std::string& text, std::string_view part) {
    if (!text.empty()) {
        text += "; ";
    }
    text += part;
}

void TIdNetscapeCookie::AppendAttribute(std::string& text, std::string_view name,
                                        std::string_view value) {
    if (!value.empty()) {
        AppendPart(text, std::string(name) + "=" + std::string(value));
    }
}

std::string TIdNetscapeCookie::FormatCookieText() const {
    std::string text;
    // The pair is written even with an empty value: read back, the text must still name
    // this cookie rather than make its first attribute the name.
    if (!CookieName.empty() || !Value.empty()) {
        text = ClientPair();
    }
    AppendAttribute(text, "path", Path);
    if (InternalVersion == TIdCookieVersion::cvNetscape) {
        AppendAttribute(text, "expires", Expires);
    }
    AppendAttribute(text, "domain", Domain);
    if (Secure) {
        AppendPart(text, "secure");
    }
    return text;
}

void TIdNetscapeCookie::StoreExpires(std::string_view text) {
    Expires = text;
}

void TIdNetscapeCookie::ApplyAttributes(const TIdCookieAttributes& attributes) {
    Path = WithoutSurroundingQuotes(CookieAttributeValue(attributes, "PATH"));
    StoreExpires(CookieAttributeValue(attributes, "EXPIRES"));
    Domain = CookieAttributeValue(attributes, "DOMAIN");
    Secure = HasCookieAttribute(attributes, "SECURE");
}

bool TIdNetscapeCookie::AcceptableFor(std::string_view host) const {
    if (IsDottedQuad(host)) {
        return Domain == host;
    }
    if (host.empty() || host.front() != '.') {
        if (!Domain.starts_with('.') && !IsDottedQuad(Domain)) {
            return Domain == host;
        }
        return Domain == ParentDomain(host);
    }
    return SameText(Domain, ParentDomain(host));
}

void TIdNetscapeCookie::Assign(const TIdNetscapeCookie& source) {
    if (dynamic_cast<const TIdCookieRFC2109*>(&source) == nullptr) {
        return;
    }
    ParseCookieText(source.FormatCookieText());
    InternalVersion = source.InternalVersion;
    // The text form carries "expires" only for the Netscape version; a replacement must
    // bring its expiry along all the same, or a deleting cookie would never go.
    Expires = source.Expires;
}
