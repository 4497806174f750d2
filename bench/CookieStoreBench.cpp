// The cookie store under a flood: four responses of 30000 new cookies each, every response
// followed by the Cookie header of the next request, as the client composes it.  The
// cookies come from one host, or spread over many hosts of one site; the header is asked
// for the first host.

#include "http/IdCookieManager.h"
#include "http/IdURI.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kResponses = 4;
constexpr int kCookiesPerResponse = 30000;

std::string HostNumber(int host) {
    std::string name = "h";
    return name.append(std::to_string(host)).append(".example.com");
}

std::string CookieText(int response, int cookie) {
    std::string text = "r";
    return text.append(std::to_string(response))
        .append("c")
        .append(std::to_string(cookie))
        .append("=")
        .append(std::to_string(cookie))
        .append("; path=/");
}

// Response r's cookies: new names, cycling over the hosts.
std::vector<std::vector<std::string>> Responses() {
    std::vector<std::vector<std::string>> responses(kResponses);
    for (int response = 0; response < kResponses; ++response) {
        for (int cookie = 0; cookie < kCookiesPerResponse; ++cookie) {
            responses[response].push_back(CookieText(response, cookie));
        }
    }
    return responses;
}

void BM_FourResponsesOf30000Cookies(benchmark::State& state) {
    const int hosts = static_cast<int>(state.range(0));
    const std::vector<std::vector<std::string>> responses = Responses();
    std::vector<std::string> hostNames;
    for (int host = 0; host < hosts; ++host) {
        hostNames.push_back(HostNumber(host));
    }
    const TIdURI next("http://" + hostNames[0] + "/next.php");
    std::size_t headerBytes = 0;
    for (auto _ : state) {
        auto manager = std::make_unique<TIdCookieManager>();
        for (const std::vector<std::string>& response : responses) {
            for (std::size_t cookie = 0; cookie < response.size(); ++cookie) {
                manager->TakeSetCookie(response[cookie], hostNames[cookie % hostNames.size()]);
            }
            headerBytes = manager->CookieHeaderFor(next, false).size();
            benchmark::DoNotOptimize(headerBytes);
        }
        state.PauseTiming();
        manager.reset();
        state.ResumeTiming();
    }
    state.counters["last_cookie_header_bytes"] = static_cast<double>(headerBytes);
}

BENCHMARK(BM_FourResponsesOf30000Cookies)
    ->ArgName("hosts")
    ->Arg(1)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace

BENCHMARK_MAIN();
