// The floor for kept-alive GETs: the system calls that the program's client needs for each
// request over one reused connection, and nothing else, as a bare loop over one socket.
//
// Usage: keepalive_floor PORT PATH COUNT
//
// Sends COUNT requests "GET PATH?i" (i from 0) to 127.0.0.1:PORT over one connection with
// the same request head as the program's client. Before every request but the first it
// looks for 1 ms whether the peer closed the idle connection (the look normally times
// out); it waits for readiness before every receive, receives into a 32 KB buffer, reads
// the head to its blank line, takes the body's length from Content-Length and receives the
// body. Prints "i OK n" for each body, as `quorvel-cli get` does, and exits 1 on any
// failure.

#include "bench/FloorLoop.h"

#include <sys/socket.h>

namespace {

class TSocketTransport : public IFloorTransport {
public:
    explicit TSocketTransport(int socket) : socket_(socket) {}

    bool Readable(int timeoutMs) override { return PollReadable(socket_, timeoutMs); }

    bool PeerClosed() override { return PollReadable(socket_, CloseLookMs); }

    void SendAll(const std::string& bytes) override {
        size_t sent = 0;
        while (sent < bytes.size()) {
            ssize_t n = send(socket_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n < 0)
                Fail("send");
            sent += static_cast<size_t>(n);
        }
    }

    std::size_t Receive(char* into, std::size_t size) override {
        ssize_t n = recv(socket_, into, size, 0);
        if (n < 0)
            Fail("recv");
        if (n == 0)
            Fail("connection closed by the server");
        return static_cast<size_t>(n);
    }

private:
    int socket_;
};

} // namespace

int main(int argc, char* argv[]) {
    return RunFloor(argc, argv, "keepalive_floor",
                    [](int socket) { return std::make_unique<TSocketTransport>(socket); });
}
