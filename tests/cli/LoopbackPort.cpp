#include "LoopbackPort.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

TLoopbackPort::TLoopbackPort(TKind kind)
    : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    // A backlog of 0 holds one connection, which the queued one takes.
    int backlog = kind == TKind::Unanswering ? 0 : 4;
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        (kind != TKind::Refusing && ::listen(fd_, backlog) != 0) ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (fd_ >= 0)
            ::close(fd_);
        throw std::runtime_error("cannot bind a loopback port");
    }
    port_ = ntohs(address.sin_port);
    if (kind == TKind::Unanswering) {
        queued_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (::connect(queued_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
            throw std::runtime_error("cannot fill the queue of a loopback port");
    }
}

TLoopbackPort::~TLoopbackPort() {
    if (queued_ >= 0)
        ::close(queued_);
    ::close(fd_);
}
