// MovieObject.bdmv read and write over a large file: 2,000 movie objects holding
// 50,000 commands in all (25 each), built in memory.
#include "LargeFiles.h"
#include "navigation/MovieObject.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using corvane::bench::kCommandsPerObject;
using corvane::bench::kObjects;
using corvane::bench::largeMovieObject;

void BM_MovieObjectRead(benchmark::State& state) {
    const std::vector<std::uint8_t> bytes = corvane::writeMovieObject(largeMovieObject());
    for (auto _ : state) {
        auto result = corvane::readMovieObject(bytes);
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
    state.counters["commands"] = kObjects * kCommandsPerObject;
}
BENCHMARK(BM_MovieObjectRead)->Unit(benchmark::kMillisecond);

void BM_MovieObjectWrite(benchmark::State& state) {
    const corvane::TMOBJ& mobj = largeMovieObject();
    std::size_t size = 0;
    for (auto _ : state) {
        auto bytes = corvane::writeMovieObject(mobj);
        size = bytes.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_MovieObjectWrite)->Unit(benchmark::kMillisecond);

void BM_MovieObjectReadWrite(benchmark::State& state) {
    const std::vector<std::uint8_t> bytes = corvane::writeMovieObject(largeMovieObject());
    for (auto _ : state) {
        auto result = corvane::readMovieObject(bytes);
        auto written = corvane::writeMovieObject(result.mobj);
        benchmark::DoNotOptimize(written);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_MovieObjectReadWrite)->Unit(benchmark::kMillisecond);

} // namespace
