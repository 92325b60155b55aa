// How fast mogumo-sim replays a game: a whole outing at the sea, 10,000 lure
// and battle steps on the virtual clock, from the title to the results.

#include <benchmark/benchmark.h>

#include <sstream>

#include "platform/sim/simulator.h"

namespace {

const std::string kOuting =
    "click Form1.Command1\n"
    "click Form3.Command1(1)\nclick Form3.Command1(1)\nclick Form3.Command1(1)\n"
    "click Form3.Command2\n"
    "run 200\nclick Form5.cast\n"
    // 10,000 steps of 51 ms use up the sea's 10,000 life points; whatever
    // bites is fought and lost, and the casts that follow are never made.
    "run 510000\ndump\n";

void BM_WholeOuting(benchmark::State& state) {
    for (auto _ : state) {
        std::ostringstream out;
        std::string error;
        const int status = mogumo::runScript(kOuting, out, error);
        if (status != 0)
            state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(out.str());
    }
    state.counters["virtual_ms"] = 510200;
}
BENCHMARK(BM_WholeOuting)->Unit(benchmark::kMillisecond);

void BM_Dump(benchmark::State& state) {
    mogumo::Simulator sim;
    sim.start();
    for (auto _ : state) benchmark::DoNotOptimize(sim.dump());
}
BENCHMARK(BM_Dump)->Unit(benchmark::kMicrosecond);

}  // namespace
