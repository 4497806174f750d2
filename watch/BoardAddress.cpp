#include "watch/BoardAddress.h"

#include "watch/BoardTextException.h"

#include <algorithm>
#include <array>
#include <optional>

namespace watch {
namespace {

struct TKnownKind {
    const char* Name;
    TBoardAddress::TKind Kind;
    const char* PublicOrigin; // empty for the classic board, whose host is the build's
};

const std::array<TKnownKind, 4> KnownKinds = {{
    {"classic", TBoardAddress::bkClassic, ""},
    {"greenhouse", TBoardAddress::bkGreenhouse, "https://boards-api.greenhouse.io"},
    {"lever", TBoardAddress::bkLever, "https://api.lever.co"},
    {"ashby", TBoardAddress::bkAshby, "https://api.ashbyhq.com"},
}};

std::optional<TKnownKind> KindNamed(const std::string& name) {
    for (const TKnownKind& known : KnownKinds) {
        if (name == known.Name)
            return known;
    }
    return std::nullopt;
}

bool IsPort(const std::string& port) {
    if (port.empty() || port.size() > 5 ||
        port.find_first_not_of("0123456789") != std::string::npos)
        return false;
    int number = std::stoi(port);
    return number >= 1 && number <= 65535;
}

// No blank, no control byte and no DEL.
bool HasNoBlankOrControl(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c > ' ' && c != '\x7F'; });
}

// HOST or HOST:PORT: nothing in it may change the structure of the URL it goes into.
bool IsHostAndPort(const std::string& text) {
    size_t colon = text.find(':');
    std::string host = text.substr(0, colon);
    bool hostOk = !host.empty() && host.find_first_of("/?#@\\%") == std::string::npos &&
                  HasNoBlankOrControl(host);
    return hostOk && (colon == std::string::npos || IsPort(text.substr(colon + 1)));
}

// "http://HOST[:PORT][/PATH]" or the same with https, without a query, a fragment, user
// information or any byte at or below the blank; the origin without a trailing slash.
std::optional<std::string> OriginOf(const std::string& url) {
    size_t schemeEnd = url.find("://");
    if (schemeEnd == std::string::npos)
        return std::nullopt;
    std::string scheme = url.substr(0, schemeEnd);
    if (scheme != "http" && scheme != "https")
        return std::nullopt;
    size_t hostStart = schemeEnd + 3;
    size_t pathStart = std::min(url.find('/', hostStart), url.size());
    std::string path = url.substr(pathStart);
    bool pathOk = path.find_first_of("?#%\\") == std::string::npos && HasNoBlankOrControl(path);
    if (!IsHostAndPort(url.substr(hostStart, pathStart - hostStart)) || !pathOk)
        return std::nullopt;
    std::string origin = url;
    while (origin.size() > pathStart && origin.back() == '/')
        origin.pop_back();
    return origin;
}

} // namespace

TBoardAddress TBoardAddress::Parse(const std::string& text, const std::string& classicHost) {
    if (text.empty())
        return {bkClassic, "http://" + classicHost};
    if (std::optional<TKnownKind> known = KindNamed(text)) {
        std::string origin =
            known->Kind == bkClassic ? "http://" + classicHost : known->PublicOrigin;
        return {known->Kind, origin};
    }
    size_t at = text.find('@');
    if (at != std::string::npos) {
        std::optional<TKnownKind> known = KindNamed(text.substr(0, at));
        std::optional<std::string> origin = OriginOf(text.substr(at + 1));
        if (known && origin)
            return {known->Kind, *origin};
        throw EBoardTextException(text);
    }
    if (IsHostAndPort(text))
        return {bkClassic, "http://" + text};
    throw EBoardTextException(text);
}

} // namespace watch
