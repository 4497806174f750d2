#pragma once

#include "fetcher/ProxySettings.h"

#include <string>

// The proxies for --proxy's value ("HOST:PORT", every page), or the environment's when it
// was not given. Throws EUsageError for a value of another form.
TProxySettings ProxiesOf(const std::string& proxyOption);
