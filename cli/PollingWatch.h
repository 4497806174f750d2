#pragma once

#include "cli/FetchFailureCounter.h"
#include "cli/StopAwareFetcher.h"
#include "fetcher/HttpPageFetcher.h"
#include "watch/MemoryWatchPanel.h"
#include "watch/SearchRun.h"

#include <ctime>
#include <iosfwd>

class ITickWait;
struct TSearchOptions;

// The window's polling without the window, which both watches share: loads the panel as
// search does, starts polling as the start button does, searches once at once and then at
// every tick of the panel's timer, driven by `wait`. Before each search a time stamp line goes
// to `err`, and the message boxes of a start that fails; a search a stop cuts short goes no
// further. What a whole search leaves in the
// panel is for the watch built on this one, as is whether a find ends the polling.
class TPollingWatch {
public:
    // Everything passed in is borrowed for the watch's life.
    TPollingWatch(const TSearchOptions& options, ITickWait& wait, std::ostream& err);
    virtual ~TPollingWatch() = default;

    TPollingWatch(const TPollingWatch&) = delete;
    TPollingWatch& operator=(const TPollingWatch&) = delete;

    // Polls until the end: esSuccess once FoundEnough(), esNothingOrFailure when no pair is
    // complete or polling stopped, 128 + the signal when a stop signal came.
    int Run();

protected:
    // Called after each search that no stop cut short, which started at `started`.
    virtual void AfterSearch(std::time_t started) = 0;
    // Whether the polling ends with success, asked after each search.
    virtual bool FoundEnough() const = 0;

    const TSearchOptions& Options() const { return *options_; }
    std::ostream& Err() const { return *err_; }
    watch::TMemoryWatchPanel& Panel() { return panel_; }
    const watch::TMemoryWatchPanel& Panel() const { return panel_; }
    watch::TSearchRun& SearchRun() { return searchRun_; }
    // Failed fetches since the last call.
    int TakeFetchFailures() { return failureCounter_.TakeFailures(); }

private:
    // Lets the panel's timer count the time that passes; it calls Search() when it is due.
    void WaitForTick();
    void Search();

    const TSearchOptions* options_;
    ITickWait* wait_;
    std::ostream* err_;
    watch::TMemoryWatchPanel panel_;
    THttpPageFetcher httpFetcher_;
    TStopAwareFetcher stopAwareFetcher_;
    TFetchFailureCounter failureCounter_;
    watch::TSearchRun searchRun_;
};
