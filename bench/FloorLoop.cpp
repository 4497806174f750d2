#include "bench/FloorLoop.h"

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
#include <string_view>

namespace {

constexpr int ReadTimeoutMs = 60000;
constexpr size_t BufferSize = 32768;

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

// Received bytes not yet consumed: [start, end) of the buffer.
class Receiver {
public:
    explicit Receiver(IFloorTransport& transport) : transport_(&transport) {}

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
        if (!transport_->Readable(ReadTimeoutMs))
            Fail("read timed out");
        end_ += transport_->Receive(buffer_ + end_, BufferSize - end_);
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

    IFloorTransport* transport_;
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

void Fail(const char* what) {
    if (errno != 0)
        std::perror(what);
    else
        std::fprintf(stderr, "%s\n", what);
    std::exit(1);
}

bool PollReadable(int socket, int timeoutMs) {
    pollfd entry{socket, POLLIN, 0};
    int ready = poll(&entry, 1, timeoutMs);
    if (ready < 0)
        Fail("poll");
    return ready > 0;
}

int RunFloor(int argc, char* argv[], const char* name,
             const std::function<std::unique_ptr<IFloorTransport>(int socket)>& open) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s PORT PATH COUNT\n", name);
        return 2;
    }
    int port = std::atoi(argv[1]);
    std::string path = argv[2];
    int count = std::atoi(argv[3]);

    int socket = Connect(port);
    std::unique_ptr<IFloorTransport> transport = open(socket);
    Receiver receiver(*transport);
    for (int i = 0; i < count; ++i) {
        if (i > 0 && transport->PeerClosed())
            Fail("the server closed the kept-alive connection");
        transport->SendAll(RequestHead(path + "?" + std::to_string(i), port));
        size_t length = receiver.ReadHead();
        receiver.ReadBody(length);
        std::printf("%d OK %zu\n", i + 1, length);
    }
    close(socket);
    return 0;
}
