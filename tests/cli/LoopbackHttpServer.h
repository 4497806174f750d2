#pragma once

#include "tests/support/LoopbackServer.h"

#include <functional>
#include <string>

// An HTTP server on loopback taking one request per connection: the responder gets the
// request head (what arrived of it when the client stopped sending) and returns the whole
// response to send; an empty one closes the connection unanswered.
class TLoopbackHttpServer {
public:
    using TResponder = std::function<std::string(const std::string& head)>;

    explicit TLoopbackHttpServer(TResponder responder);

    int Port() const { return server_.Port(); }

private:
    void Answer(int connection);

    TResponder responder_;
    TLoopbackServer server_;
};
