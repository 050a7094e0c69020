// dump and build of the large files, as `corvane-cli dump FILE | corvane-cli build - -o OUT`
// does them in one process: the model to its JSON text, then the text parsed, checked, laid
// out again and written. Both must stay well under a second.
#include "LargeFiles.h"
#include "playlist/PlayListReader.h"
#include "json/JsonBuild.h"
#include "json/JsonModel.h"

#include <benchmark/benchmark.h>

namespace {

using namespace corvane;

template <typename Model>
void dumpAndBuild(benchmark::State& state, const Model& model, const std::vector<std::uint8_t>& bytes) {
    for (auto _ : state) {
        const std::string text = json::toJson(model, false).dump(2);
        const json::BuiltFile built = json::buildFile(nlohmann::json::parse(text), {});
        if (!built.ok || built.bytes != bytes) state.SkipWithError("the build does not give the file again");
        benchmark::DoNotOptimize(built);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_JsonDumpBuildMovieObject(benchmark::State& state) {
    const TMOBJ& mobj = bench::largeMovieObject();
    dumpAndBuild(state, mobj, writeMovieObject(mobj));
    state.counters["commands"] = bench::kObjects * bench::kCommandsPerObject;
}
BENCHMARK(BM_JsonDumpBuildMovieObject)->Unit(benchmark::kMillisecond);

void BM_JsonDumpBuildPlayList(benchmark::State& state) {
    const auto bytes = bench::largePlayList();
    dumpAndBuild(state, readPlayList(bytes, "bench.mpls", true).mpls, bytes);
    state.counters["PlayItems"] = 999;
}
BENCHMARK(BM_JsonDumpBuildPlayList)->Unit(benchmark::kMillisecond);

} // namespace
