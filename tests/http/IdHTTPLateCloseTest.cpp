// A server that answers and then closes the connection a fraction of a millisecond later,
// without saying "close": the next request must notice the close and connect anew instead of
// writing into the dying connection.

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <string>

#include "http/IdHTTP.h"
#include "net/IdException.h"
#include "tests/support/LoopbackServer.h"

namespace {

// Reads up to the blank line that ends a request head; false when the peer stops first.
bool ReadHead(int connection) {
    std::string received;
    char buffer[4096];
    while (received.find("\r\n\r\n") == std::string::npos) {
        const ssize_t count = recv(connection, buffer, sizeof buffer, 0);
        if (count <= 0) {
            return false;
        }
        received.append(buffer, static_cast<std::size_t>(count));
    }
    return true;
}

// Answers one request per connection with a small page and closes 0.3 ms after the answer.
void AnswerAndCloseLate(int connection) {
    if (ReadHead(connection)) {
        const std::string answer = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok";
        (void)!send(connection, answer.data(), answer.size(), MSG_NOSIGNAL);
        usleep(300);
    }
}

TEST(LateClose, EveryRequestAfterALateCloseConnectsAnew) {
    TLoopbackServer server(AnswerAndCloseLate);
    TIdHTTP client;
    const std::string url = "http://127.0.0.1:" + std::to_string(server.Port()) + "/";
    constexpr int kRequests = 31;
    int failed = 0;
    std::string firstFailure;
    for (int n = 0; n < kRequests; ++n) {
        try {
            EXPECT_EQ(client.Get(url), "ok");
        } catch (const EIdException& failure) {
            // A close seen while reading, or a reset for a request the server never read.
            if (failed++ == 0) {
                firstFailure = failure.what();
            }
        }
    }
    // Without a wait for the close about every second request fails.  A machine under load
    // can hold the server's own close back beyond the millisecond now and then, which is
    // what the small allowance is for.
    EXPECT_LE(failed, 3) << "requests sent into a closed connection, first: " << firstFailure;
    // One connection per answered request, none sent into a closed one.
    EXPECT_EQ(server.Accepted(), kRequests - failed);
}

} // namespace
