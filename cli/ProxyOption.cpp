#include "cli/ProxyOption.h"

#include "cli/UsageError.h"

TProxySettings ProxiesOf(const std::string& proxyOption) {
    if (proxyOption.empty())
        return TProxySettings::FromEnvironment();
    std::optional<TProxySettings> proxies = TProxySettings::ForEverything(proxyOption);
    if (!proxies)
        throw EUsageError("--proxy needs HOST:PORT, not '" + proxyOption + "'");
    return *proxies;
}
