#pragma once

#include "tests/support/LoopbackServer.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

// A forward proxy on 127.0.0.1 taking one client connection at a time.  A CONNECT opens a
// tunnel to the named port on 127.0.0.1 and relays both ways until one side closes; an
// absolute-form request is passed on in origin form to the port its URL names, one request
// a connection.  With a refusal status line it answers every request with that instead.
class TTestProxy {
public:
    explicit TTestProxy(std::string refusal = {});

    int Port() const { return server_->Port(); }
    // The heads of the requests the proxy itself received, in order.
    std::vector<std::string> Heads() const;

private:
    void Serve(int client);

    std::string refusal_;
    mutable std::mutex mutex_;
    std::vector<std::string> heads_;
    std::unique_ptr<TLoopbackServer> server_;
};
