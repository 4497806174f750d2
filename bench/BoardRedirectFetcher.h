#pragma once

#include "watch/PageFetcher.h"

#include <memory>
#include <string>

// Sends the window's searches to the benchmark's board: a URL on the board the program was
// built for (http://QUORVEL_BOARD_HOST/...) goes to `boardHost` instead, as the tool's
// --board does, so that both measure the same board. Next-page links are relative and
// follow the host the client last fetched from.
class TBoardRedirectFetcher : public watch::IPageFetcher {
public:
    TBoardRedirectFetcher(std::unique_ptr<watch::IPageFetcher> fetcher,
                          const std::string& boardHost);

    void SetCacheControl(const std::string& value) override;
    std::string Get(const std::string& url) override;
    std::string AbsoluteURL(const std::string& link) const override;

private:
    std::unique_ptr<watch::IPageFetcher> fetcher_;
    std::string builtBoard_;
    std::string chosenBoard_;
};
