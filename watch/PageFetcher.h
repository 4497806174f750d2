#pragma once

#include <string>

namespace watch {

// What the job watch needs of an HTTP client: fetch one page as raw bytes.
// The job watch never sees status codes or headers.
class IPageFetcher {
public:
    virtual ~IPageFetcher() = default;

    // The Cache-Control value of the requests that follow ("no-cache" from the scraper).
    virtual void SetCacheControl(const std::string& value) = 0;

    // The response body of `url`, byte for byte (GBK text, no charset decoding).
    // Throws on any failure: network, HTTP status, protocol. The scraper catches
    // every exception, so any std::exception-derived class will do.
    virtual std::string Get(const std::string& url) = 0;

    // The absolute URL that Get(link) would ask for now: a relative link or one without a
    // port is completed the way Get completes it. Asking changes nothing. May throw where
    // Get would fail for the same link.
    virtual std::string AbsoluteURL(const std::string& link) const = 0;
};

} // namespace watch
