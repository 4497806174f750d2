#include "bench/BoardRedirectFetcher.h"

TBoardRedirectFetcher::TBoardRedirectFetcher(std::unique_ptr<watch::IPageFetcher> fetcher,
                                             const std::string& boardHost)
    : fetcher_(std::move(fetcher)), builtBoard_("http://" QUORVEL_BOARD_HOST "/"),
      chosenBoard_("http://" + boardHost + "/") {}

void TBoardRedirectFetcher::SetCacheControl(const std::string& value) {
    fetcher_->SetCacheControl(value);
}

std::string TBoardRedirectFetcher::Get(const std::string& url) {
    if (url.starts_with(builtBoard_))
        return fetcher_->Get(chosenBoard_ + url.substr(builtBoard_.size()));
    return fetcher_->Get(url);
}

std::string TBoardRedirectFetcher::AbsoluteURL(const std::string& link) const {
    return fetcher_->AbsoluteURL(link);
}
