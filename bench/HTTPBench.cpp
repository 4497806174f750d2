// The HTTP client's costs: a header value spread over many continuation lines, one request on
// a kept-alive loopback connection, and the memory a large body held in memory takes.

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <exception>
#include <string>

#include "http/IdHTTP.h"
#include "http/IdHeaderList.h"
#include "tests/support/LoopbackServer.h"

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

// Answers every request of the connection with a two-byte page, keeping it open.
void AnswerAll(int connection) {
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

void BM_KeptAliveGet(benchmark::State& state) {
    TLoopbackServer server(AnswerAll);
    TIdHTTP client;
    const std::string url = "http://127.0.0.1:" + std::to_string(server.Port()) + "/";
    client.Get(url);
    for (auto _ : state) {
        benchmark::DoNotOptimize(client.Get(url));
    }
    client.CloseConnection();
}
BENCHMARK(BM_KeptAliveGet)->Unit(benchmark::kMicrosecond)->UseRealTime();

bool SendAll(int connection, const std::string& bytes) {
    for (std::size_t sent = 0; sent < bytes.size();) {
        const ssize_t count =
            send(connection, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (count <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(count);
    }
    return true;
}

// Sends one response per connection: a chunked body of 256 one-mebibyte chunks.
void SendChunkedBody(int connection) {
    static const std::string chunk = "100000\r\n" + std::string(1 << 20, 'c') + "\r\n";
    char head[4096];
    (void)!recv(connection, head, sizeof head, 0);
    bool sending = SendAll(connection, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n");
    for (int n = 0; sending && n < 256; ++n) {
        sending = SendAll(connection, chunk);
    }
    if (sending) {
        SendAll(connection, "0\r\n\r\n");
    }
}

// Get(url) of a 256 MiB chunked body in a child process; reports the child's peak resident
// memory and whether the body was refused.
void BM_InMemoryBodyPeakMemory(benchmark::State& state) {
    TLoopbackServer server(SendChunkedBody);
    const std::string url = "http://127.0.0.1:" + std::to_string(server.Port()) + "/";
    long peakKiB = 0;
    int refused = 0;
    for (auto _ : state) {
        const pid_t child = fork();
        if (child == 0) {
            TIdHTTP client;
            try {
                client.Get(url);
            } catch (const std::exception&) {
                _exit(1);
            }
            _exit(0);
        }
        int status = 0;
        rusage usage{};
        wait4(child, &status, 0, &usage);
        peakKiB = std::max(peakKiB, usage.ru_maxrss);
        refused = WIFEXITED(status) && WEXITSTATUS(status) == 1;
    }
    state.counters["peak_MiB"] = static_cast<double>(peakKiB) / 1024;
    state.counters["refused"] = refused;
}
BENCHMARK(BM_InMemoryBodyPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
