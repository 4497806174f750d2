#pragma once

#include "LoopbackHttpServer.h"

#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// A job board on loopback whose postings change from one search to the next: search i (one
// request, the result page has no pager) gets pages[i], and every later search the last
// page. A page that is nullopt makes the fetch fail: the connection closes unanswered.
class TChangingBoard {
public:
    using TRows = std::vector<std::pair<std::string, std::string>>; // {title, link}

    explicit TChangingBoard(std::vector<std::optional<TRows>> pages);

    // "127.0.0.1:PORT", as --board takes it.
    std::string HostAndPort() const;
    // The searches answered or failed so far.
    int Searches() const;

    // A result page of the board with these rows, in the board's GBK; titles are UTF-8.
    static std::string ResultPage(const TRows& rows);

private:
    // The response to the next search; empty for a page that fails.
    std::string Answer();

    std::vector<std::optional<TRows>> pages_;
    mutable std::mutex mutex_;
    int searches_ = 0;
    TLoopbackHttpServer server_;
};
