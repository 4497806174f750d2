#include "cli/StopAwareFetcher.h"

#include "cli/TickWait.h"

void TStopAwareFetcher::SetCacheControl(const std::string& value) {
    fetcher_->SetCacheControl(value);
}

std::string TStopAwareFetcher::Get(const std::string& url) {
    if (wait_->StopSignal() != 0)
        return std::string();
    return fetcher_->Get(url);
}

std::string TStopAwareFetcher::AbsoluteURL(const std::string& link) const {
    return fetcher_->AbsoluteURL(link);
}
