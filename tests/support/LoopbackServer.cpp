#include "tests/support/LoopbackServer.h"

#include <sys/socket.h>
#include <unistd.h>

#include <utility>

TLoopbackServer::TLoopbackServer(THandler handler)
    : handler_(std::move(handler)), listener_(ListenOnLoopback(16)),
      server_(&TLoopbackServer::Serve, this) {}

TLoopbackServer::~TLoopbackServer() {
    // Shutting the listener down ends the accept that the server thread waits in.
    shutdown(listener_.Socket, SHUT_RDWR);
    server_.join();
    close(listener_.Socket);
}

void TLoopbackServer::Serve() {
    for (;;) {
        const int connection = accept(listener_.Socket, nullptr, nullptr);
        if (connection < 0) {
            return;
        }
        ++accepted_;
        handler_(connection);
        close(connection);
    }
}
