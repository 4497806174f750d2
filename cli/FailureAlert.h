#pragma once

#include <ctime>
#include <optional>
#include <string>

// Tells when a board has been failing for long enough to say so, and when it answers again:
// once each, however long the failing lasts.
class TFailureAlert {
public:
    enum class TKind { Failing, Recovered };
    struct TEvent {
        TKind Kind;
        // "the board has been failing since 2026-12-09 08:30:00 +0800 (3 searches in a row)"
        std::string Message;
    };

    // Speaks after `searches` searches in a row with a failed fetch (at least 1).
    explicit TFailureAlert(int searches) : searches_(searches) {}

    // What to say after a search that started at `started`, failed or clean.
    std::optional<TEvent> AfterSearch(bool failed, std::time_t started);

private:
    int searches_;
    int failedInARow_ = 0;
    std::time_t failingSince_ = 0;
    bool told_ = false;
};
