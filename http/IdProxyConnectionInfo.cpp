#include "http/IdProxyConnectionInfo.h"

void TIdProxyConnectionInfo::BuildHeaders(TIdHeaderList& headers) {
    if (!Authentication && BasicAuthentication) {
        Authentication = std::make_unique<TIdBasicAuthentication>();
        Authentication->Username = ProxyUsername;
        Authentication->Password = ProxyPassword;
    }
    if (!Authentication) {
        return;
    }
    std::string value = Authentication->Authentication();
    if (!value.empty()) {
        headers.SetHeader("Proxy-Authorization", value);
    }
}
