// Scraping a generated result page of 1 MB and 10 MB (about 2000 rows a megabyte), and, as
// the yardstick, one memmem pass over the same page counting the row marker: the scraping
// benchmark times that pass too, turn about with the scrape, and reports the ratio
// (x_memmem), so that both figures see the same load. Scraping a page of 2000 rows against
// an exclusion pane of a million lines shows the cost of the exclusion lookups.

#include "bench/PreparedFetcher.h"
#include "watch/MemoryLineList.h"
#include "watch/MemoryWatchPanel.h"
#include "watch/ResultScraper.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <string>

namespace {

constexpr int RowsPerMegabyte = 2000;
constexpr int RowBytes = 1024 * 1024 / RowsPerMegabyte;
const std::string RowMarker = "<td class=\"td1\">";

std::string ResultRow(int number) {
    const char* title = number % 3 == 0 ? "Java Developer" : "Sales Assistant";
    std::string row =
        "<tr>" + RowMarker + "<input type=\"checkbox\" name=\"delivery_jobid\" value=\"" +
        std::to_string(number) + "\" /><a href=\"http://127.0.0.1/job/" + std::to_string(number) +
        ".html\" target=\"_blank\" >" + title +
        "</a></td><td class=\"td2\"><a href=\"http://127.0.0.1/company/" +
        std::to_string(number / 1000) + ".html\">Example Co.</a></td><td class=\"td3\">";
    row.append(RowBytes - row.size() - 10, 'x'); // the area and date columns
    row += "</td></tr>";
    return row;
}

std::string ResultPage(int rows) {
    std::string page = "<html><body><div class=\"navBold\">1</div>"
                       "<div class=\"resultListDiv\"><table><tr><th>title</th></tr>";
    page.reserve(static_cast<size_t>(rows) * RowBytes + 256);
    for (int number = 0; number < rows; ++number)
        page += ResultRow(number);
    page += "</table></div><div class=\"bt_center clearboth\">1</div></body></html>";
    return page;
}

// The yardstick: how often the row marker occurs, found by memmem.
int CountRowMarkers(const std::string& page) {
    int rows = 0;
    const char* at = page.data();
    const char* end = page.data() + page.size();
    while (const void* found = memmem(at, end - at, RowMarker.data(), RowMarker.size())) {
        ++rows;
        at = static_cast<const char*>(found) + RowMarker.size();
    }
    return rows;
}

using Clock = std::chrono::steady_clock;

void BM_ScrapePage(benchmark::State& state) {
    const std::string page = ResultPage(static_cast<int>(state.range(0)) * RowsPerMegabyte);
    TPreparedFetcher fetcher;
    watch::TMemoryWatchPanel panel;
    watch::TResultScraper scraper(fetcher, panel);
    scraper.CurrentCompany = "Example";
    scraper.CurrentPosition = "java";
    watch::TMemoryLineList exclusions;
    int lines = 0;
    Clock::duration scraping{};
    Clock::duration memmemPass{};
    for (auto _ : state) {
        state.PauseTiming();
        fetcher.page = page;
        watch::TMemoryLineList results;
        state.ResumeTiming();
        Clock::time_point start = Clock::now();
        scraper.ScrapeResults("http://127.0.0.1/search", results, exclusions);
        scraping += Clock::now() - start;
        state.PauseTiming();
        lines = results.Count();
        start = Clock::now();
        benchmark::DoNotOptimize(CountRowMarkers(page));
        memmemPass += Clock::now() - start;
        state.ResumeTiming();
    }
    const int expected = 4 * ((static_cast<int>(state.range(0)) * RowsPerMegabyte + 2) / 3);
    if (lines != expected)
        state.SkipWithError("the scraper kept the wrong number of rows");
    state.counters["rows"] = lines / 4;
    state.counters["x_memmem"] = std::chrono::duration<double>(scraping).count() /
                                 std::chrono::duration<double>(memmemPass).count();
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_ScrapePage)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

void BM_MemmemRowMarker(benchmark::State& state) {
    const std::string page = ResultPage(static_cast<int>(state.range(0)) * RowsPerMegabyte);
    int rows = 0;
    for (auto _ : state) {
        rows = CountRowMarkers(page);
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = rows;
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_MemmemRowMarker)->Arg(10)->Unit(benchmark::kMillisecond);

// 2000 rows, every title kept, against a million exclusion lines: links of no row, and at
// the end the links of the even rows. Building the lookup set is the scrape's own work, so
// it is timed.
void BM_ScrapeAgainstExclusions(benchmark::State& state) {
    constexpr int Rows = RowsPerMegabyte;
    const std::string page = ResultPage(Rows);
    const int exclusionLines = static_cast<int>(state.range(0));
    watch::TMemoryLineList exclusions;
    const int firstRowLine = exclusionLines - Rows / 2;
    for (int line = 0; line < exclusionLines; ++line) {
        exclusions.Add(line < firstRowLine
                           ? "http://127.0.0.1/old/" + std::to_string(line) + ".html"
                           : "http://127.0.0.1/job/" + std::to_string(2 * (line - firstRowLine)) +
                                 ".html");
    }
    TPreparedFetcher fetcher;
    watch::TMemoryWatchPanel panel;
    watch::TResultScraper scraper(fetcher, panel);
    scraper.CurrentCompany = "Example";
    scraper.CurrentPosition = std::string(1, '*'); // every title
    int lines = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fetcher.page = page;
        watch::TMemoryLineList results;
        state.ResumeTiming();
        scraper.ScrapeResults("http://127.0.0.1/search", results, exclusions);
        lines = results.Count();
    }
    if (lines != 4 * (Rows - Rows / 2))
        state.SkipWithError("the scraper kept the wrong number of rows");
    state.counters["rows"] = lines / 4;
}
BENCHMARK(BM_ScrapeAgainstExclusions)->Arg(1000000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
