#pragma once

#include "watch/PageFetcher.h"

#include <memory>
#include <string>

class TIdHTTP;

// The job watch's page fetcher: one HTTP client, configured as the program's httpFindJob,
// that fetches every page for the fetcher's whole life, so that the connection, the
// cookies and the target (against which a relative next-page link is resolved) carry over
// from one page to the next. Shared by the desktop program and the command-line tool.
class THttpPageFetcher : public watch::IPageFetcher {
public:
    // The program's client waits at most this long for a stalled board instead of the
    // component's default of no limit, which would freeze the program for good.
    static constexpr int FindJobReadTimeout = 60000;

    THttpPageFetcher();
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
    std::unique_ptr<TIdHTTP> httpFindJob_;
};
