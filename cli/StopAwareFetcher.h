#pragma once

#include "watch/PageFetcher.h"

class ITickWait;

// Ends a search soon after a stop: once a stop has come every further page is an empty one,
// which ends each walk through the pager at once and without a network message.
class TStopAwareFetcher : public watch::IPageFetcher {
public:
    // `fetcher` and `wait` are borrowed and must outlive this object.
    TStopAwareFetcher(watch::IPageFetcher& fetcher, ITickWait& wait)
        : fetcher_(&fetcher), wait_(&wait) {}

    void SetCacheControl(const std::string& value) override;
    std::string Get(const std::string& url) override;
    std::string AbsoluteURL(const std::string& link) const override;

private:
    watch::IPageFetcher* fetcher_;
    ITickWait* wait_;
};
