#pragma once

#include "watch/PageFetcher.h"

#include <functional>
#include <string>
#include <vector>

// Answers every fetch through the test's own function, which returns the page or throws
// as a failing network would.
class FakeFetcher : public watch::IPageFetcher {
public:
    using Responder = std::function<std::string(const std::string& url)>;

    // `fetchedUrls` is the test's; it outlives the fetcher and records every address asked.
    FakeFetcher(Responder responder, std::vector<std::string>* fetchedUrls)
        : responder_(std::move(responder)), fetchedUrls_(fetchedUrls) {}

    void SetCacheControl(const std::string&) override {}
    std::string Get(const std::string& url) override {
        fetchedUrls_->push_back(url);
        return responder_(url);
    }
    std::string AbsoluteURL(const std::string& link) const override { return link; }

private:
    Responder responder_;
    std::vector<std::string>* fetchedUrls_;
};
