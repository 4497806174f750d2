#pragma once

#include "watch/PageFetcher.h"

// The window's page fetcher: the HTTP client, with the wait cursor over the program while
// a fetch blocks it.
class TWaitCursorFetcher : public watch::IPageFetcher {
public:
    // `fetcher` is not owned; it outlives this one.
    explicit TWaitCursorFetcher(watch::IPageFetcher& fetcher) : fetcher_(&fetcher) {}

    void SetCacheControl(const std::string& value) override { fetcher_->SetCacheControl(value); }
    std::string Get(const std::string& url) override;
    std::string AbsoluteURL(const std::string& link) const override {
        return fetcher_->AbsoluteURL(link);
    }

private:
    watch::IPageFetcher* fetcher_;
};
