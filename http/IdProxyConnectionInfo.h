#pragma once

#include <memory>
#include <string>

#include "http/IdAuthentication.h"
#include "http/IdHeaderList.h"

// The proxy a client talks through; an empty ProxyServer means none.
class TIdProxyConnectionInfo {
public:
    std::string ProxyServer;
    int ProxyPort = 0;
    std::string ProxyUsername;
    std::string ProxyPassword;
    bool BasicAuthentication = false;
    // The scheme in use for the proxy, if any.
    std::unique_ptr<TIdAuthentication> Authentication;

    // Adds "Proxy-Authorization" to headers when a scheme has a value to send.
    void BuildHeaders(TIdHeaderList& headers);
};
