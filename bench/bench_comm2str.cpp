// comm2str over a million commands: half valid opcode words with random operands, half random words.
#include "navigation/CommandText.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

using corvane::TNavCommand;

const std::vector<TNavCommand>& millionCommands() {
    static const std::vector<TNavCommand> commands = [] {
        std::mt19937 random(20240611);
        std::uniform_int_distribution<std::uint32_t> word;
        std::uniform_int_distribution<std::size_t> pick(0, corvane::ValidOpcodes.size() - 1);
        std::vector<TNavCommand> out(1'000'000);
        for (std::size_t i = 0; i < out.size(); ++i) {
            if (i % 2 == 0) {
                // Valid word; operands often name PSRs, including the language codes.
                const std::uint32_t psrs[] = {0x80000000 | (word(random) % 48), word(random) % 4096,
                                              word(random)};
                out[i] = {corvane::ValidOpcodes[pick(random)], psrs[word(random) % 3],
                          psrs[word(random) % 3]};
            } else {
                out[i] = {word(random), word(random), word(random)};
            }
        }
        return out;
    }();
    return commands;
}

void runComm2str(benchmark::State& state, corvane::CommandContext context) {
    const auto& commands = millionCommands();
    for (auto _ : state) {
        int line = 0;
        for (const auto& command : commands) {
            auto cells = corvane::comm2str(command, line++, context);
            benchmark::DoNotOptimize(cells);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(commands.size()));
}

void BM_comm2strMovieObjects(benchmark::State& state) {
    runComm2str(state, corvane::CommandContext::MovieObject);
}
void BM_comm2strButtons(benchmark::State& state) {
    runComm2str(state, corvane::CommandContext::Button);
}

void BM_commandLine(benchmark::State& state) {
    const auto& commands = millionCommands();
    for (auto _ : state) {
        for (const auto& command : commands) {
            auto text = corvane::commandLine(command, corvane::CommandContext::MovieObject);
            benchmark::DoNotOptimize(text);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(commands.size()));
}

} // namespace

BENCHMARK(BM_comm2strMovieObjects)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_comm2strButtons)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_commandLine)->Unit(benchmark::kMillisecond);
