// MovieObject.bdmv read and write over a large file: 2,000 movie objects holding
// 50,000 commands in all (25 each), built in memory.
#include "navigation/MovieObject.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

constexpr std::size_t kObjects = 2000;
constexpr std::size_t kCommandsPerObject = 25;

const corvane::TMOBJ& largeMovieObject() {
    static const corvane::TMOBJ mobj = [] {
        std::mt19937 random(50000);
        corvane::TMOBJ out;
        out.type_indicator = "MOBJ";
        out.version_number = "0200";
        std::uint32_t length = 6;
        out.MovieObjects.mobjs.resize(kObjects);
        for (auto& object : out.MovieObjects.mobjs) {
            object.resume_intention_flag = random() & 1;
            object.menu_call_mask = random() & 1;
            object.number_of_navigation_commands = kCommandsPerObject;
            object.navigation_commands.resize(kCommandsPerObject);
            for (auto& command : object.navigation_commands)
                command = {corvane::ValidOpcodes[random() % corvane::ValidOpcodes.size()],
                           static_cast<std::uint32_t>(random()), static_cast<std::uint32_t>(random())};
            length += 4 + 12 * kCommandsPerObject;
        }
        out.MovieObjects.number_of_mobjs = kObjects;
        out.MovieObjects.mobjs_length = length;
        return out;
    }();
    return mobj;
}

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
