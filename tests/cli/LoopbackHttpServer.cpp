#include "LoopbackHttpServer.h"

#include <sys/socket.h>
#include <utility>

namespace {

std::string RequestHead(int connection) {
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos) {
        ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        head.append(buffer, static_cast<size_t>(n));
    }
    return head;
}

void SendAll(int connection, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = ::send(connection, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += static_cast<size_t>(n);
    }
}

} // namespace

TLoopbackHttpServer::TLoopbackHttpServer(TResponder responder)
    : responder_(std::move(responder)), server_([this](int connection) { Answer(connection); }) {}

void TLoopbackHttpServer::Answer(int connection) {
    SendAll(connection, responder_(RequestHead(connection)));
}
