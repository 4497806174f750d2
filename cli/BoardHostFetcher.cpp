#include "cli/BoardHostFetcher.h"

TBoardHostFetcher::TBoardHostFetcher(watch::IPageFetcher& fetcher, const std::string& boardHost)
    : fetcher_(&fetcher), builtBoard_("http://" QUORVEL_BOARD_HOST "/"),
      chosenBoard_("http://" + boardHost + "/") {}

void TBoardHostFetcher::SetCacheControl(const std::string& value) {
    fetcher_->SetCacheControl(value);
}

std::string TBoardHostFetcher::Get(const std::string& url) {
    if (url.starts_with(builtBoard_))
        return fetcher_->Get(chosenBoard_ + url.substr(builtBoard_.size()));
    return fetcher_->Get(url);
}
