#pragma once

#include "LoopbackHttpServer.h"

#include <map>
#include <mutex>
#include <string>
#include <vector>

// An HTTP server on loopback that answers GET requests from a table of request targets and
// JSON bodies (404 for any other target), one request per connection, and records the
// targets asked for.
using TBodies = std::map<std::string, std::string>;

class TJsonBoardServer {
public:
    explicit TJsonBoardServer(std::map<std::string, std::string> bodies);

    // "http://127.0.0.1:PORT".
    std::string Origin() const;
    std::vector<std::string> Requested() const;

    // The request target of a request head, and the whole response to a request for it; for
    // the same board behind another transport.
    static std::string Target(const std::string& head);
    static std::string Response(const TBodies& bodies, const std::string& target);

private:
    std::string Answer(const std::string& head);

    std::map<std::string, std::string> bodies_;
    mutable std::mutex mutex_;
    std::vector<std::string> requested_;
    TLoopbackHttpServer server_;
};
