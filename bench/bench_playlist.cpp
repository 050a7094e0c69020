// Playlist read and write with 999 PlayItems (an audio and a PG entry each) and 999 marks.
#include "LargeFiles.h"
#include "playlist/PlayListReader.h"
#include "playlist/PlayListWriter.h"

#include <benchmark/benchmark.h>

namespace {

using namespace corvane;

using corvane::bench::largePlayList;

void PlayListRead(benchmark::State& state) {
    const auto bytes = largePlayList();
    for (auto _ : state) {
        auto result = readPlayList(bytes, "bench.mpls", true);
        if (result.status != ReadStatus::Ok) state.SkipWithError("the generated playlist did not read");
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(PlayListRead)->Unit(benchmark::kMicrosecond);

void PlayListWrite(benchmark::State& state) {
    const auto bytes = largePlayList();
    const TMPLS mpls = readPlayList(bytes, "bench.mpls", true).mpls;
    for (auto _ : state) {
        auto written = writePlayList(mpls);
        benchmark::DoNotOptimize(written);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(PlayListWrite)->Unit(benchmark::kMicrosecond);

} // namespace
