#pragma once

#include "watch/PageFetcher.h"

// Counts the fetches that fail on their way to the scraper, which shows only a message for
// them: the watch learns from the count whether a search was clean.
class TFetchFailureCounter : public watch::IPageFetcher {
public:
    // `fetcher` is borrowed and must outlive this object.
    explicit TFetchFailureCounter(watch::IPageFetcher& fetcher) : fetcher_(&fetcher) {}

    void SetCacheControl(const std::string& value) override;
    // The page from the fetcher; a failure is counted and passed on.
    std::string Get(const std::string& url) override;
    std::string AbsoluteURL(const std::string& link) const override;

    // Failed fetches since the last call, which starts the count afresh.
    int TakeFailures();

private:
    watch::IPageFetcher* fetcher_;
    int failures_ = 0;
};
