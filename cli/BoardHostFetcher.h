#pragma once

#include "watch/PageFetcher.h"

#include <string>

// Sends the job watch's searches to another board: a URL on the board the program was
// built for (http://QUORVEL_BOARD_HOST/...) is fetched from `boardHost` instead; every
// other URL passes unchanged. Relative next-page links need no help, since the client
// resolves them against the host it last fetched from.
class TBoardHostFetcher : public watch::IPageFetcher {
public:
    // `fetcher` is borrowed and must outlive this object.
    TBoardHostFetcher(watch::IPageFetcher& fetcher, const std::string& boardHost);

    void SetCacheControl(const std::string& value) override;
    std::string Get(const std::string& url) override;

private:
    watch::IPageFetcher* fetcher_;
    std::string builtBoard_;
    std::string chosenBoard_;
};
