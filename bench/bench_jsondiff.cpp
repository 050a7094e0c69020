// The JSON comparison of two dumps of a MovieObject.bdmv of 50,000 commands that differ by one
// edit: 2,000 objects of 25 commands, and one object holding all 50,000.
#include "navigation/CommandText.h"
#include "navigation/NavCommand.h"
#include "json/JsonDiff.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

using nlohmann::ordered_json;

constexpr std::size_t kCommands = 50'000;

// A dump of `objects` movie objects sharing the commands, in the shape `dump` prints.
ordered_json movieObjectDump(std::size_t objects) {
    std::mt19937 random(50000);
    ordered_json mobjs = ordered_json::array();
    const std::size_t perObject = kCommands / objects;
    for (std::size_t o = 0; o < objects; ++o) {
        ordered_json commands = ordered_json::array();
        for (std::size_t i = 0; i < perObject; ++i) {
            // Few distinct commands, as on real discs: register moves, jumps, plays.
            const corvane::TNavCommand command{corvane::ValidOpcodes[random() % 16],
                                               static_cast<std::uint32_t>(random() % 16),
                                               static_cast<std::uint32_t>(random() % 4)};
            commands.push_back(
                {{"opcode", command.opcode},
                 {"destination", command.destination},
                 {"source", command.source},
                 {"text", corvane::commandLine(command, corvane::CommandContext::MovieObject)}});
        }
        mobjs.push_back({{"resume_intention_flag", 0},
                         {"menu_call_mask", 0},
                         {"title_search_mask", 0},
                         {"number_of_navigation_commands", perObject},
                         {"navigation_commands", commands}});
    }
    return {{"type_indicator", "MOBJ"},
            {"version_number", "0200"},
            {"MovieObjects", {{"number_of_mobjs", objects}, {"mobjs", mobjs}}}};
}

void insertOne(ordered_json& dump) {
    auto& object = dump["MovieObjects"]["mobjs"][dump["MovieObjects"]["mobjs"].size() / 2];
    auto& commands = object["navigation_commands"];
    commands.insert(
        commands.begin() + static_cast<std::ptrdiff_t>(commands.size() / 2),
        ordered_json{{"opcode", 0x50000001}, {"destination", 7}, {"source", 99}, {"text", "Move GPR7, 99"}});
    object["number_of_navigation_commands"] = commands.size();
}

void BM_JsonDiffMovieObject(benchmark::State& state) {
    const ordered_json a = movieObjectDump(static_cast<std::size_t>(state.range(0)));
    ordered_json b = a;
    insertOne(b);
    std::size_t found = 0;
    for (auto _ : state) {
        auto differences = corvane::json::diffJson(a, b);
        found = differences.size();
        benchmark::DoNotOptimize(differences);
    }
    if (found != 2) state.SkipWithError("the insertion is not one addition and one count");
    state.counters["commands"] = kCommands;
}
BENCHMARK(BM_JsonDiffMovieObject)->Arg(2000)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

// The worst of the alignment: one edit in every ten commands of the 50,000-command object, far
// beyond what the edit-distance search takes, so that anchors split the list first.
void BM_JsonDiffManyEdits(benchmark::State& state) {
    const ordered_json a = movieObjectDump(1);
    ordered_json b = a;
    auto& commands = b["MovieObjects"]["mobjs"][0]["navigation_commands"];
    for (std::size_t i = 0; i < commands.size(); i += 10) commands[i]["source"] = 1000 + i;
    std::size_t found = 0;
    for (auto _ : state) {
        auto differences = corvane::json::diffJson(a, b);
        found = differences.size();
        benchmark::DoNotOptimize(differences);
    }
    state.counters["differences"] = static_cast<double>(found);
}
BENCHMARK(BM_JsonDiffManyEdits)->Unit(benchmark::kMillisecond);
