#include "cli/FetchFailureCounter.h"

void TFetchFailureCounter::SetCacheControl(const std::string& value) {
    fetcher_->SetCacheControl(value);
}

std::string TFetchFailureCounter::Get(const std::string& url) {
    try {
        return fetcher_->Get(url);
    } catch (...) {
        ++failures_;
        throw;
    }
}

std::string TFetchFailureCounter::AbsoluteURL(const std::string& link) const {
    return fetcher_->AbsoluteURL(link);
}

int TFetchFailureCounter::TakeFailures() {
    int failures = failures_;
    failures_ = 0;
    return failures;
}
