#include "fetcher/HttpPageFetcher.h"

#include "http/IdHTTP.h"
#include "net/IdSSLIOHandlerSocket.h"

#include <utility>

THttpPageFetcher::THttpPageFetcher(TProxySettings proxies)
    : tlsHandler_(std::make_unique<TIdSSLIOHandlerSocket>()),
      httpFindJob_(std::make_unique<TIdHTTP>()) {
    TIdHTTP& http = *httpFindJob_;
    http.SetIOHandler(tlsHandler_.get());
    http.OnSelectProxy = [proxies = std::move(proxies)](const TIdURI& target,
                                                        TIdProxyConnectionInfo& params) {
        proxies.Apply(target, params);
    };
    http.AllowCookies = true;
    http.HTTPOptions = {hoForceEncodeParams};
    http.MaxLineAction = maException;
    http.ReadTimeout = FindJobReadTimeout;
    http.Request().ContentType = "text/html";
    http.Request().Accept = "text/html, */*";
}

THttpPageFetcher::~THttpPageFetcher() = default;

void THttpPageFetcher::SetCacheControl(const std::string& value) {
    httpFindJob_->Request().CacheControl = value;
}

std::string THttpPageFetcher::Get(const std::string& url) {
    return httpFindJob_->Get(url);
}

std::string THttpPageFetcher::AbsoluteURL(const std::string& link) const {
    return httpFindJob_->MergedTargetURL(link);
}
