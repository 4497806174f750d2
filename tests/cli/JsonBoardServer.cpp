#include "JsonBoardServer.h"

#include <utility>

TJsonBoardServer::TJsonBoardServer(std::map<std::string, std::string> bodies)
    : bodies_(std::move(bodies)),
      server_([this](const std::string& head) { return Answer(head); }) {}

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

std::string TJsonBoardServer::Answer(const std::string& head) {
    std::string target = Target(head);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requested_.push_back(target);
    }
    return Response(bodies_, target);
}
