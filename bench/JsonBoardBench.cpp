// Searching greenhouse-shaped JSON of 1 MB and 10 MB (2000 postings a megabyte, one title in
// three kept), and, as the yardstick, simdjson's own parse of the same bytes: the search
// benchmark times that parse too, turn about with the search, and reports the ratio
// (x_parse), so that both figures see the same load. Both get the bytes as the page fetcher
// hands them over: a string without room to spare after its end, which the parser needs and
// makes by copying.

#include "bench/PreparedFetcher.h"
#include "watch/GreenhouseBoard.h"
#include "watch/MemoryLineList.h"
#include "watch/MemoryWatchPanel.h"

#include <benchmark/benchmark.h>
#include <simdjson.h>

#include <chrono>
#include <string>

namespace {

constexpr int PostingsPerMegabyte = 2000;
constexpr size_t PostingBytes = 1024 * 1024 / PostingsPerMegabyte;

std::string Posting(int number) {
    std::string id = std::to_string(number);
    const char* title = number % 3 == 0 ? "Senior Java Engineer 高级工程师" : "Sales Manager";
    std::string posting = "{\"id\":" + id + ",\"internal_job_id\":" + id + ",\"title\":\"" + title +
                          "\",\"absolute_url\":\"https://boards.example/acme/jobs/" + id +
                          "\",\"location\":{\"name\":\"Shanghai, China\"},\"metadata\":null,"
                          "\"updated_at\":\"2026-12-08T10:00:00-05:00\",\"requisition_id\":\"";
    posting.append(PostingBytes - posting.size() - 3, 'R');
    posting += "\"},";
    return posting;
}

std::string Body(int postings) {
    std::string body = "{\"jobs\":[";
    body.reserve(static_cast<size_t>(postings) * PostingBytes + 64);
    for (int number = 0; number < postings; ++number)
        body += Posting(number);
    body.back() = ']';
    body += ",\"meta\":{\"total\":" + std::to_string(postings) + "}}";
    return body;
}

using Clock = std::chrono::steady_clock;

void BM_GreenhouseSearch(benchmark::State& state) {
    const int postings = static_cast<int>(state.range(0)) * PostingsPerMegabyte;
    const std::string body = Body(postings);
    TPreparedFetcher fetcher;
    watch::TMemoryWatchPanel panel;
    watch::TGreenhouseBoard board(fetcher, panel, "http://127.0.0.1");
    const watch::TPairSearch pair{"acme", "java", "", ""};
    watch::TMemoryLineList exclusions;
    simdjson::dom::parser parser;
    int lines = 0;
    Clock::duration searching{};
    Clock::duration parsing{};
    for (auto _ : state) {
        state.PauseTiming();
        fetcher.page = body;
        watch::TMemoryLineList results;
        state.ResumeTiming();
        Clock::time_point start = Clock::now();
        board.SearchPair(pair, results, exclusions);
        searching += Clock::now() - start;
        state.PauseTiming();
        lines = results.Count();
        const std::string fetched = body;
        start = Clock::now();
        simdjson::dom::element parsed = parser.parse(fetched);
        benchmark::DoNotOptimize(parsed);
        parsing += Clock::now() - start;
        state.ResumeTiming();
    }
    if (lines != 4 * ((postings + 2) / 3) || !panel.Messages.empty())
        state.SkipWithError("the search kept the wrong number of postings");
    state.counters["postings"] = lines / 4;
    state.counters["x_parse"] = std::chrono::duration<double>(searching).count() /
                                std::chrono::duration<double>(parsing).count();
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(body.size()));
}
BENCHMARK(BM_GreenhouseSearch)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

void BM_SimdjsonParse(benchmark::State& state) {
    const std::string body = Body(static_cast<int>(state.range(0)) * PostingsPerMegabyte);
    simdjson::dom::parser parser;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string fetched = body;
        state.ResumeTiming();
        simdjson::dom::element parsed = parser.parse(fetched);
        benchmark::DoNotOptimize(parsed);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(body.size()));
}
BENCHMARK(BM_SimdjsonParse)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
