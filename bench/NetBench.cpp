// Read paths of the TCP connection: a large counted body over loopback (against a plain
// recv loop as the loopback's own speed), many short lines over loopback, and one long line
// arriving a byte at a time.

#include "net/IdIOHandler.h"
#include "net/IdStream.h"
#include "net/IdTCPClient.h"
#include "tests/support/ScriptedPeer.h"

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::int64_t kMiB = 1024 * 1024;
constexpr std::int64_t kBodySize = 256 * kMiB;

TScriptedPeer::TScript BodyScript() {
    return {TScriptedPeer::Send(std::string(kMiB, 'b'), kBodySize / kMiB)};
}

void BM_ReadToStreamLoopback(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        TScriptedPeer peer({BodyScript()});
        TIdTCPClient client;
        client.SetHost("127.0.0.1");
        client.SetPort(peer.Port());
        TIdMemoryStream body;
        state.ResumeTiming();
        client.OpenConnection();
        client.ReadToStream(body, kBodySize);
        benchmark::DoNotOptimize(body.Memory());
        state.PauseTiming();
        client.CloseConnection();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * kBodySize);
}
BENCHMARK(BM_ReadToStreamLoopback)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same body read with plain recv calls into fresh memory of the body's size: what
// loopback gives.
void BM_PlainRecvLoopback(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        TScriptedPeer peer({BodyScript()});
        const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(peer.Port()));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        state.ResumeTiming();
        auto body = std::make_unique_for_overwrite<char[]>(kBodySize);
        connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        std::int64_t received = 0;
        while (received < kBodySize) {
            const ssize_t n =
                recv(socket, body.get() + received,
                     static_cast<size_t>(std::min<std::int64_t>(kBodySize - received, 32768)), 0);
            if (n <= 0) {
                state.SkipWithError("peer closed early");
                break;
            }
            received += n;
        }
        state.PauseTiming();
        close(socket);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * kBodySize);
}
BENCHMARK(BM_PlainRecvLoopback)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadLineShortLinesLoopback(benchmark::State& state) {
    constexpr int kLinesPerBlock = 1000;
    constexpr int kBlocks = 1000;
    std::string block;
    for (int i = 0; i < kLinesPerBlock; ++i) {
        block += "Header-" + std::to_string(i) + ": value\r\n";
    }
    for (auto _ : state) {
        state.PauseTiming();
        TScriptedPeer peer({{TScriptedPeer::Send(block, kBlocks)}});
        TIdTCPClient client;
        client.SetHost("127.0.0.1");
        client.SetPort(peer.Port());
        client.OpenConnection();
        state.ResumeTiming();
        for (int i = 0; i < kLinesPerBlock * kBlocks; ++i) {
            benchmark::DoNotOptimize(client.ReadLine());
        }
        state.PauseTiming();
        client.CloseConnection();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kLinesPerBlock * kBlocks);
    state.SetBytesProcessed(state.iterations() * kBlocks * static_cast<std::int64_t>(block.size()));
}
BENCHMARK(BM_ReadLineShortLinesLoopback)->Unit(benchmark::kMillisecond)->UseRealTime();

// An IO handler whose peer delivers one byte per receive: the worst case for a line reader
// that would search the whole buffer again on every arrival.
class TOneByteHandler : public TIdIOHandler {
public:
    explicit TOneByteHandler(std::string bytes) : bytes_(std::move(bytes)) {}
    bool HandlerConnected() override { return true; }
    bool WaitReadable(int) override { return true; }
    int ReceiveSome(void* buffer, int length) override {
        if (length <= 0 || next_ >= bytes_.size()) {
            return 0;
        }
        *static_cast<char*>(buffer) = bytes_[next_++];
        return 1;
    }
    int SendSome(const void*, int length) override { return length; }

private:
    std::string bytes_;
    std::size_t next_ = 0;
};

void BM_ReadLineOneByteArrivals(benchmark::State& state) {
    const std::int64_t length = state.range(0);
    const std::string line(static_cast<std::size_t>(length), 'x');
    for (auto _ : state) {
        state.PauseTiming();
        TOneByteHandler handler(line + "\r\n");
        TIdTCPConnection connection;
        connection.MaxLineLength = 0;
        connection.SetIOHandler(&handler);
        state.ResumeTiming();
        benchmark::DoNotOptimize(connection.ReadLine());
        state.PauseTiming();
        connection.SetIOHandler(nullptr);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * length);
    state.SetComplexityN(length);
}
BENCHMARK(BM_ReadLineOneByteArrivals)
    ->RangeMultiplier(4)
    ->Range(4096, 262144)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);

} // namespace
