#include "fetcher/HttpPageFetcher.h"

#include "http/EIdUnknownProtocol.h"
#include "http/IdGlobal.h"
#include "http/IdHTTP.h"
#include "http/IdURI.h"

namespace {

std::string DefaultPort(const std::string& protocol) {
    if (SameText(protocol, "http"))
        return "80";
    if (SameText(protocol, "https"))
        return "443";
    throw EIdUnknownProtocol();
}

} // namespace

THttpPageFetcher::THttpPageFetcher() : httpFindJob_(std::make_unique<TIdHTTP>()) {
    TIdHTTP& http = *httpFindJob_;
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

// The steps of the client's own merge of a URL into its target, applied to a copy of the
// target, so the client's next request starts from where it stood.
std::string THttpPageFetcher::AbsoluteURL(const std::string& link) const {
    TIdURI target = httpFindJob_->TargetURI();
    TIdURI given(link);
    target.Path = MergePath(target.Path, given.Path);
    target.Document = given.Document;
    target.QueryPart = given.QueryPart;
    if (!given.Host.empty())
        target.Host = given.Host;
    target.Protocol = given.Protocol.empty() ? "http" : given.Protocol;
    if (!given.Port.empty())
        target.Port = given.Port;
    else if (int port = StrToIntDef(target.Port, 0); port == 0 || port == 80 || port == 443)
        target.Port = DefaultPort(target.Protocol);
    return target.Compose({});
}
