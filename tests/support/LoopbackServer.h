#pragma once

#include "tests/support/LoopbackListener.h"

#include <atomic>
#include <functional>
#include <thread>

// A server on 127.0.0.1 that takes the connections made to it one at a time on a thread of
// its own: each is handed to the handler and closed when the handler returns.
class TLoopbackServer {
public:
    using THandler = std::function<void(int connection)>;

    explicit TLoopbackServer(THandler handler);
    ~TLoopbackServer();
    TLoopbackServer(const TLoopbackServer&) = delete;
    TLoopbackServer& operator=(const TLoopbackServer&) = delete;

    int Port() const { return listener_.Port; }
    // How many connections were taken so far.
    int Accepted() const { return accepted_; }

private:
    void Serve();

    THandler handler_;
    TLoopbackListener listener_;
    std::atomic<int> accepted_{0};
    std::thread server_;
};
