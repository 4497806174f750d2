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

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

constexpr int CloseLookMs = 1;
constexpr int ReadTimeoutMs = 60000;
constexpr size_t BufferSize = 32768;

[[noreturn]] void Fail(const char* what) {
    if (errno != 0)
        std::perror(what);
    else
        std::fprintf(stderr, "%s\n", what);
    std::exit(1);
}

bool Readable(int socket, int timeoutMs) {
    pollfd entry{socket, POLLIN, 0};
    int ready = poll(&entry, 1, timeoutMs);
    if (ready < 0)
        Fail("poll");
    return ready > 0;
}

int Connect(int port) {
    int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0)
        Fail("socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        Fail("connect");
    return socket;
}

void SendAll(int socket, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = send(socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0)
            Fail("send");
        sent += static_cast<size_t>(n);
    }
}

// Received bytes not yet consumed: [start, end) of the buffer.
class Receiver {
public:
    explicit Receiver(int socket) : socket_(socket) {}

    // The response's body length; the head is consumed.
    size_t ReadHead() {
        size_t blank;
        while ((blank = Pending().find("\r\n\r\n")) == std::string_view::npos)
            ReceiveMore();
        size_t length = ContentLength(Pending().substr(0, blank + 2));
        start_ += blank + 4;
        return length;
    }

    // Receives the body into the buffer; its bytes are not kept.
    void ReadBody(size_t length) {
        while (end_ - start_ < length) {
            length -= end_ - start_;
            start_ = end_ = 0;
            ReceiveMore();
        }
        start_ += length;
    }

private:
    std::string_view Pending() const { return {buffer_ + start_, end_ - start_}; }

    void ReceiveMore() {
        if (start_ > 0) {
            std::memmove(buffer_, buffer_ + start_, end_ - start_);
            end_ -= start_;
            start_ = 0;
        }
        if (end_ == BufferSize)
            Fail("response head longer than the buffer");
        if (!Readable(socket_, ReadTimeoutMs))
            Fail("read timed out");
        ssize_t n = recv(socket_, buffer_ + end_, BufferSize - end_, 0);
        if (n < 0)
            Fail("recv");
        if (n == 0)
            Fail("connection closed by the server");
        end_ += static_cast<size_t>(n);
    }

    static size_t ContentLength(std::string_view head) {
        constexpr std::string_view name = "Content-Length:";
        size_t line = 0;
        while (line < head.size()) {
            size_t next = head.find("\r\n", line);
            std::string_view text = head.substr(line, next - line);
            if (text.size() > name.size() &&
                strncasecmp(text.data(), name.data(), name.size()) == 0)
                return std::strtoul(std::string(text.substr(name.size())).c_str(), nullptr, 10);
            line = next + 2;
        }
        Fail("response without Content-Length");
    }

    int socket_;
    char buffer_[BufferSize];
    size_t start_ = 0;
    size_t end_ = 0;
};

std::string RequestHead(const std::string& target, int port) {
    return "GET " + target + " HTTP/1.1\r\nContent-Type: text/html\r\n"
           "Cache-control: no-cache\r\nHost: 127.0.0.1:" + std::to_string(port) +
           "\r\nAccept: text/html, */*\r\n"
           "User-Agent: Mozilla/3.0 (compatible; Quorvel HTTP)\r\n\r\n";
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: keepalive_floor PORT PATH COUNT\n");
        return 2;
    }
    int port = std::atoi(argv[1]);
    std::string path = argv[2];
    int count = std::atoi(argv[3]);

    int socket = Connect(port);
    Receiver receiver(socket);
    for (int i = 0; i < count; ++i) {
        if (i > 0 && Readable(socket, CloseLookMs))
            Fail("the server closed the kept-alive connection");
        SendAll(socket, RequestHead(path + "?" + std::to_string(i), port));
        size_t length = receiver.ReadHead();
        receiver.ReadBody(length);
        std::printf("%d OK %zu\n", i + 1, length);
    }
    close(socket);
    return 0;
}
