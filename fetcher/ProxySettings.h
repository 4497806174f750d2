#pragma once

#include <optional>
#include <string>
#include <vector>

class TIdURI;
class TIdProxyConnectionInfo;

// Which proxy, if any, a page goes through: one given for everything, or the environment's
// http_proxy, https_proxy (lower case first, then upper) and no_proxy.
class TProxySettings {
public:
    struct TProxy {
        std::string Host;
        int Port = 80;
        std::string Username;
        std::string Password;
    };

    // From the environment; a variable that names no host means no proxy.
    static TProxySettings FromEnvironment();
    // Every page through `hostAndPort` ("HOST:PORT"); nullopt when it is not that form.
    static std::optional<TProxySettings> ForEverything(const std::string& hostAndPort);

    // The proxy for a page of this scheme on this host, nullopt for a direct connection.
    std::optional<TProxy> ProxyFor(const std::string& scheme, const std::string& host) const;
    // Fills the client's proxy parameters for the target (cleared for a direct connection).
    void Apply(const TIdURI& target, TIdProxyConnectionInfo& params) const;

private:
    bool Bypassed(const std::string& host) const;

    std::optional<TProxy> http_;
    std::optional<TProxy> https_;
    std::vector<std::string> noProxy_;
};
