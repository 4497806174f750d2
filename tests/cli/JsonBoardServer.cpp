#include "JsonBoardServer.h"

#include <sys/socket.h>
#include <utility>

namespace {

void SendAll(int connection, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = ::send(connection, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += static_cast<size_t>(n);
    }
}

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

} // namespace

TJsonBoardServer::TJsonBoardServer(std::map<std::string, std::string> bodies)
    : bodies_(std::move(bodies)), server_([this](int connection) { Answer(connection); }) {}

std::string TJsonBoardServer::Origin() const {
    return "http://127.0.0.1:" + std::to_string(server_.Port());
}

std::vector<std::string> TJsonBoardServer::Requested() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requested_;
}

std::string TJsonBoardServer::Target(const std::string& head) {
    size_t targetStart = head.find(' ') + 1;
    return head.substr(targetStart, head.find(' ', targetStart) - targetStart);
}

std::string TJsonBoardServer::Response(const TBodies& bodies, const std::string& target) {
    auto body = bodies.find(target);
    std::string status = body == bodies.end() ? "404 Not Found" : "200 OK";
    std::string content = body == bodies.end() ? "{\"status\":404}" : body->second;
    return "HTTP/1.1 " + status + "\r\nContent-Type: application/json\r\nContent-Length: " +
           std::to_string(content.size()) + "\r\nConnection: close\r\n\r\n" + content;
}

void TJsonBoardServer::Answer(int connection) {
    std::string target = Target(RequestHead(connection));
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requested_.push_back(target);
    }
    SendAll(connection, Response(bodies_, target));
}
