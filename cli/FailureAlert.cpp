#include "cli/FailureAlert.h"

#include "cli/TimeStamp.h"

std::optional<TFailureAlert::TEvent> TFailureAlert::AfterSearch(bool failed, std::time_t started) {
    if (!failed) {
        failedInARow_ = 0;
        if (!told_)
            return std::nullopt;
        told_ = false;
        return TEvent{TKind::Recovered, "the board answers again since " + LocalTimeText(started)};
    }
    if (failedInARow_++ == 0)
        failingSince_ = started;
    if (told_ || failedInARow_ < searches_)
        return std::nullopt;
    told_ = true;
    return TEvent{TKind::Failing, "the board has been failing since " + LocalTimeText(failingSince_) +
                                      " (" + std::to_string(failedInARow_) + " searches in a row)"};
}
