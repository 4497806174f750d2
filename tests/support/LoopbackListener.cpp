#include "tests/support/LoopbackListener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

TLoopbackListener ListenOnLoopback(int backlog) {
    TLoopbackListener listener;
    listener.Socket = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    if (listener.Socket < 0 ||
        bind(listener.Socket, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(listener.Socket, backlog) != 0 ||
        getsockname(listener.Socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (listener.Socket >= 0) {
            close(listener.Socket);
        }
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    listener.Port = ntohs(address.sin_port);
    return listener;
}
