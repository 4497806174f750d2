#pragma once

#include "fetcher/ProxySettings.h"
#include "watch/PageFetcher.h"

#include <memory>
#include <string>

class TIdHTTP;
class TIdSSLIOHandlerSocket;

// The job watch's page fetcher: one HTTP client, configured as the program's httpFindJob,
// that fetches every page for the fetcher's whole life, so that the connection, the
// cookies and the target (against which a relative next-page link is resolved) carry over
// from one page to the next. Shared by the desktop program and the command-line tool.
// Pages go over https through a TLS handler that http pages pass through in clear, and
// through the proxies the settings name.
class THttpPageFetcher : public watch::IPageFetcher {
public:
    // The program's client waits at most this long for a stalled board instead of the
    // component's default of no limit, which would freeze the program for good.
    static constexpr int FindJobReadTimeout = 60000;

    explicit THttpPageFetcher(TProxySettings proxies = TProxySettings::FromEnvironment());
    ~THttpPageFetcher() override;

    // The client itself, for settings beyond the job watch's (the tool's read time-out).
    TIdHTTP& httpFindJob() { return *httpFindJob_; }

    // Sets the request's Cache-Control value; it stays for every later request.
    void SetCacheControl(const std::string& value) override;
    // The body of the response to `url`, byte for byte; raises whatever the client raises.
    std::string Get(const std::string& url) override;
    // `link` merged into the client's current target as Get would merge it, without the
    // client's state changing: scheme, host, port, path, document and query. Raises
    // EIdUnknownProtocol or EIdURIException where the merge or its text fails.
    std::string AbsoluteURL(const std::string& link) const override;

private:
    // Declared before the client, which still closes its connection through it when destroyed.
    std::unique_ptr<TIdSSLIOHandlerSocket> tlsHandler_;
    std::unique_ptr<TIdHTTP> httpFindJob_;
};
