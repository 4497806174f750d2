// The memory an exclusion file costs the tool: the pane held as one text (as quorvel-cli holds
// it) and the set a search builds from it (borrowing that text), both alive, against the
// file's size. Files of 16 MiB: nothing but line breaks, half a million distinct links, and
// lines of three printable bytes (the longest kept as a bit each). The counter `x_file` is
// the heap they hold over the file's size; the set grows nothing while it is built, so what
// it holds is its peak.

#include "watch/ExclusionSet.h"
#include "watch/TextLineList.h"

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <string>

namespace {

constexpr std::size_t FileBytes = 16u << 20;

std::string ExclusionFile(int kind) {
    std::string file;
    file.reserve(FileBytes + 64);
    for (std::size_t n = 0; file.size() < FileBytes; ++n) {
        if (kind == 0)
            file += '\n';
        else if (kind == 1)
            file += "http://board.example/job/" + std::to_string(n * 7919) + ".html\n";
        else
            for (std::size_t digit = 0, rest = n; digit < 4; ++digit, rest /= 95)
                file += digit < 3 ? static_cast<char>(' ' + rest % 95) : '\n';
    }
    return file;
}

std::size_t HeapInUse() {
    struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

void BM_ExclusionSetMemory(benchmark::State& state) {
    const std::string file = ExclusionFile(static_cast<int>(state.range(0)));
    double ratio = 0;
    for (auto _ : state) {
        std::size_t before = HeapInUse();
        watch::TTextLineList pane;
        pane.Assign(file);
        watch::TExclusionSet excluded(pane);
        benchmark::DoNotOptimize(excluded.Contains("http://board.example/job/0.html"));
        ratio = static_cast<double>(HeapInUse() - before) / static_cast<double>(file.size());
    }
    state.counters["x_file"] = ratio;
    state.counters["file_MiB"] = static_cast<double>(file.size()) / (1 << 20);
}
BENCHMARK(BM_ExclusionSetMemory)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
