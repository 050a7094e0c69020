// Commands per second of a tight arithmetic loop in the interpreter, with a host that does nothing.
#include "navigation/Interpreter.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using corvane::TNavCommand;

// 0: Add GPR1, 1   1: Mul GPR2, GPR1   2: Xor GPR3, GPR2   3: Shift Right GPR3, 3
// 4: Mod GPR4, 7   5: LT GPR1, limit   6: GoTo 0
std::vector<TNavCommand> loop(std::uint32_t limit) {
    return {{0x50400003, 1, 1}, {0x50000005, 2, 1},     {0x5000000B, 3, 2}, {0x5040000F, 3, 3},
            {0x50400007, 4, 7}, {0x48400700, 1, limit}, {0x20810000, 0, 0}};
}

void interpreterLoop(benchmark::State& state) {
    const auto limit = static_cast<std::uint32_t>(state.range(0));
    const auto program = loop(limit);
    corvane::InterpreterHost host;
    corvane::RndGenerator rnd;
    corvane::Interpreter interp(rnd);
    std::uint64_t executed = 0;
    for (auto _ : state) {
        interp.regs.GPR[1] = 0;
        interp.CurrentLine = 0;
        executed += interp.ExecComm(program, host).executed;
        benchmark::DoNotOptimize(interp.regs.GPR[4]);
    }
    state.counters["commands/s"] =
        benchmark::Counter(static_cast<double>(executed), benchmark::Counter::kIsRate);
}
BENCHMARK(interpreterLoop)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

} // namespace
