// The HTTP client's costs: a header value spread over many continuation lines, and one request
// on a kept-alive loopback connection.

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>

#include "http/IdHTTP.h"
#include "http/IdHeaderList.h"

namespace {

// One header line followed by as many continuation lines as make up about bytes bytes.
TIdHeaderList ContinuedHeader(std::int64_t bytes) {
    TIdHeaderList lines;
    lines.Add("X-Long: start");
    const std::string continuation = " abcdefghijklmnopqrstuvwxyz0123456789";
    for (std::int64_t added = 0; added < bytes;
         added += static_cast<std::int64_t>(continuation.size()) + 2) {
        lines.Add(continuation);
    }
    lines.Add("Content-Length: 0");
    return lines;
}

void BM_JoinContinuationLines(benchmark::State& state) {
    const TIdHeaderList lines = ContinuedHeader(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(lines.ValueAt(0));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_JoinContinuationLines)
    ->RangeMultiplier(4)
    ->Range(16 << 10, 1 << 20)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity();

// Answers every request of one connection at a time with a two-byte page, keeping it open.
class KeepAliveServer {
public:
    KeepAliveServer() {
        listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            listen(listener_, 4) != 0 ||
            getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            throw std::runtime_error("cannot listen on 127.0.0.1");
        }
        port_ = ntohs(address.sin_port);
        server_ = std::thread(&KeepAliveServer::Serve, this);
    }
    ~KeepAliveServer() {
        shutdown(listener_, SHUT_RDWR);
        server_.join();
        close(listener_);
    }
    int Port() const { return port_; }

private:
    void Serve() {
        for (;;) {
            const int connection = accept(listener_, nullptr, nullptr);
            if (connection < 0) {
                return;
            }
            AnswerAll(connection);
            close(connection);
        }
    }

    static void AnswerAll(int connection) {
        const std::string answer = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok";
        std::string pending;
        char buffer[4096];
        for (;;) {
            const ssize_t count = recv(connection, buffer, sizeof buffer, 0);
            if (count <= 0) {
                return;
            }
            pending.append(buffer, static_cast<std::size_t>(count));
            for (std::size_t end; (end = pending.find("\r\n\r\n")) != std::string::npos;) {
                pending.erase(0, end + 4);
                if (send(connection, answer.data(), answer.size(), MSG_NOSIGNAL) < 0) {
                    return;
                }
            }
        }
    }

    int listener_ = -1;
    int port_ = 0;
    std::thread server_;
};

void BM_KeptAliveGet(benchmark::State& state) {
    KeepAliveServer server;
    TIdHTTP client;
    const std::string url = "http://127.0.0.1:" + std::to_string(server.Port()) + "/";
    client.Get(url);
    for (auto _ : state) {
        benchmark::DoNotOptimize(client.Get(url));
    }
    client.CloseConnection();
}
BENCHMARK(BM_KeptAliveGet)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
