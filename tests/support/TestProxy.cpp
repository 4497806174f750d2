#include "tests/support/TestProxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <utility>

namespace {

void SendAll(int socket, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t result = send(socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (result <= 0) {
            return;
        }
        sent += static_cast<std::size_t>(result);
    }
}

// The head up to its empty line, and in `rest` whatever came after it.
std::string ReadHead(int socket, std::string& rest) {
    std::string received;
    char buffer[4096];
    std::size_t end;
    while ((end = received.find("\r\n\r\n")) == std::string::npos) {
        const ssize_t count = recv(socket, buffer, sizeof(buffer), 0);
        if (count <= 0) {
            return {};
        }
        received.append(buffer, static_cast<std::size_t>(count));
    }
    rest = received.substr(end + 4);
    return received.substr(0, end + 4);
}

// The head with "Connection: close" before its empty line.
std::string WithConnectionClose(const std::string& head) {
    return head.empty() ? head : head.substr(0, head.size() - 2) + "Connection: close\r\n\r\n";
}

// The port after the last ':' of "host:port", before any path.
int PortOf(std::string authority) {
    authority = authority.substr(0, authority.find('/'));
    return std::stoi(authority.substr(authority.rfind(':') + 1));
}

int ConnectToLoopback(int port) {
    const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        close(socket);
        return -1;
    }
    return socket;
}

void Relay(int client, int upstream) {
    pollfd sides[2] = {{client, POLLIN, 0}, {upstream, POLLIN, 0}};
    char buffer[16384];
    while (poll(sides, 2, -1) > 0) {
        for (int i = 0; i < 2; ++i) {
            if (sides[i].revents == 0) {
                continue;
            }
            const ssize_t count = recv(sides[i].fd, buffer, sizeof(buffer), 0);
            if (count <= 0) {
                return;
            }
            SendAll(sides[1 - i].fd, std::string(buffer, static_cast<std::size_t>(count)));
        }
    }
}

} // namespace

TTestProxy::TTestProxy(std::string refusal)
    : refusal_(std::move(refusal)),
      server_(std::make_unique<TLoopbackServer>([this](int client) { Serve(client); })) {}

std::vector<std::string> TTestProxy::Heads() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return heads_;
}

void TTestProxy::Serve(int client) {
    std::string rest;
    const std::string head = ReadHead(client, rest);
    if (head.empty()) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        heads_.push_back(head);
    }
    if (!refusal_.empty()) {
        SendAll(client, refusal_ + "\r\nContent-Length: 0\r\n\r\n");
        return;
    }
    const std::size_t targetStart = head.find(' ') + 1;
    const std::string target = head.substr(targetStart, head.find(' ', targetStart) - targetStart);
    const bool tunnel = head.starts_with("CONNECT ");
    const int upstream =
        ConnectToLoopback(PortOf(tunnel ? target : target.substr(target.find("://") + 3)));
    if (upstream < 0) {
        SendAll(client, "HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\n\r\n");
        return;
    }
    if (tunnel) {
        SendAll(client, "HTTP/1.1 200 Connection established\r\n\r\n");
    } else {
        // One request a connection, passed on in origin form, as the server would get it
        // without a proxy; the answer tells the client to connect anew for the next one.
        const std::size_t path = target.find('/', target.find("://") + 3);
        std::string forwarded = head;
        forwarded.replace(targetStart, target.size(),
                          path == std::string::npos ? "/" : target.substr(path));
        SendAll(upstream, WithConnectionClose(forwarded) + rest);
        std::string body;
        const std::string answer = ReadHead(upstream, body);
        SendAll(client, WithConnectionClose(answer) + body);
    }
    Relay(client, upstream);
    close(upstream);
}
