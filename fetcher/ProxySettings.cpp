#include "fetcher/ProxySettings.h"

#include "http/IdProxyConnectionInfo.h"
#include "http/IdURI.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string Variable(const char* lowerName, const char* upperName) {
    for (const char* name : {lowerName, upperName}) {
        if (const char* value = std::getenv(name); value != nullptr && *value != '\0') {
            return value;
        }
    }
    return {};
}

// "%40" in a user name or password stands for '@', as in any URL.
std::string PercentDecoded(const std::string& text) {
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        int value = 0;
        if (text[i] == '%' && i + 2 < text.size() &&
            std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16).ptr ==
                text.data() + i + 3) {
            decoded += static_cast<char>(value);
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

// "[http://][user:pass@]host[:port][/]"; nullopt without a host or with a bad port.
std::optional<TProxySettings::TProxy> ParseProxy(std::string text) {
    if (const std::size_t scheme = text.find("://"); scheme != std::string::npos) {
        text.erase(0, scheme + 3);
    }
    text = text.substr(0, text.find('/'));
    TProxySettings::TProxy proxy;
    if (const std::size_t at = text.rfind('@'); at != std::string::npos) {
        const std::string credentials = text.substr(0, at);
        const std::size_t colon = credentials.find(':');
        proxy.Username = PercentDecoded(credentials.substr(0, colon));
        if (colon != std::string::npos) {
            proxy.Password = PercentDecoded(credentials.substr(colon + 1));
        }
        text.erase(0, at + 1);
    }
    const std::size_t colon = text.rfind(':');
    proxy.Host = text.substr(0, colon);
    if (colon != std::string::npos) {
        const std::string port = text.substr(colon + 1);
        auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), proxy.Port);
        if (port.empty() || error != std::errc() || end != port.data() + port.size() ||
            proxy.Port <= 0 || proxy.Port > 65535) {
            return std::nullopt;
        }
    }
    if (proxy.Host.empty()) {
        return std::nullopt;
    }
    return proxy;
}

} // namespace

TProxySettings TProxySettings::FromEnvironment() {
    TProxySettings settings;
    settings.http_ = ParseProxy(Variable("http_proxy", "HTTP_PROXY"));
    settings.https_ = ParseProxy(Variable("https_proxy", "HTTPS_PROXY"));
    std::string list = Variable("no_proxy", "NO_PROXY");
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        std::string entry = Lower(Trim(list.substr(start, comma - start)));
        if (!entry.empty() && entry != "*" && entry.front() == '.') {
            entry.erase(0, 1);
        }
        if (!entry.empty()) {
            settings.noProxy_.push_back(entry);
        }
        start = comma + 1;
    }
    return settings;
}

std::optional<TProxySettings> TProxySettings::ForEverything(const std::string& hostAndPort) {
    std::optional<TProxy> proxy = ParseProxy(hostAndPort);
    if (!proxy || hostAndPort.find(':') == std::string::npos ||
        hostAndPort.find_first_of("/@") != std::string::npos) {
        return std::nullopt;
    }
    TProxySettings settings;
    settings.http_ = proxy;
    settings.https_ = proxy;
    return settings;
}

bool TProxySettings::Bypassed(const std::string& host) const {
    const std::string name = Lower(host);
    return std::any_of(noProxy_.begin(), noProxy_.end(), [&name](const std::string& entry) {
        return entry == "*" || name == entry ||
               (name.size() > entry.size() && name.ends_with(entry) &&
                name[name.size() - entry.size() - 1] == '.');
    });
}

std::optional<TProxySettings::TProxy> TProxySettings::ProxyFor(const std::string& scheme,
                                                               const std::string& host) const {
    const std::optional<TProxy>& proxy = Lower(scheme) == "https" ? https_ : http_;
    if (!proxy || Bypassed(host)) {
        return std::nullopt;
    }
    return proxy;
}

void TProxySettings::Apply(const TIdURI& target, TIdProxyConnectionInfo& params) const {
    const std::optional<TProxy> proxy = ProxyFor(target.Protocol, target.Host);
    if (params.ProxyServer != (proxy ? proxy->Host : std::string()) ||
        params.ProxyPort != (proxy ? proxy->Port : 0)) {
        params.Authentication.reset();
    }
    params.ProxyServer = proxy ? proxy->Host : std::string();
    params.ProxyPort = proxy ? proxy->Port : 0;
    params.ProxyUsername = proxy ? proxy->Username : std::string();
    params.ProxyPassword = proxy ? proxy->Password : std::string();
    params.BasicAuthentication = proxy && !proxy->Username.empty();
}
