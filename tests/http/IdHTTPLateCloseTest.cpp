// A server that answers and then closes the connection a fraction of a millisecond later,
// without saying "close": the next request must notice the close and connect anew instead of
// writing into the dying connection.

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>

#include "http/IdHTTP.h"
#include "net/IdException.h"

namespace {

// Answers one request per connection with a small page and closes 0.3 ms after the answer.
class LateClosingServer {
public:
    LateClosingServer() {
        listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            listen(listener_, 16) != 0 ||
            getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            throw std::runtime_error("cannot listen on 127.0.0.1");
        }
        port_ = ntohs(address.sin_port);
        server_ = std::thread(&LateClosingServer::Serve, this);
    }
    ~LateClosingServer() {
        stopping_ = true;
        shutdown(listener_, SHUT_RDWR);
        server_.join();
        close(listener_);
    }

    int Port() const { return port_; }
    int Accepted() const { return accepted_; }

private:
    void Serve() {
        while (!stopping_) {
            const int connection = accept(listener_, nullptr, nullptr);
            if (connection < 0) {
                return;
            }
            ++accepted_;
            if (ReadHead(connection)) {
                const std::string answer = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok";
                (void)!send(connection, answer.data(), answer.size(), MSG_NOSIGNAL);
                usleep(300);
            }
            close(connection);
        }
    }

    static bool ReadHead(int connection) {
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

    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> accepted_{0};
    std::thread server_;
};

TEST(LateClose, EveryRequestAfterALateCloseConnectsAnew) {
    LateClosingServer server;
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
