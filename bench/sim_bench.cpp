// How fast mogumo-sim replays a game: a whole outing at the sea, 600 s of
// play on the virtual clock with 10,000 lure steps, from the spot choice to
// the results. Program start is left out of the timing; `x_real_time` is how
// many seconds of play pass in one second of the machine's time.

#include <benchmark/benchmark.h>

#include <memory>

#include "core/game.h"
#include "core/json_writer.h"
#include "screens/screen_factory.h"
#include "script/state_dump.h"

namespace {

using mogumo::FormId;

constexpr uint64_t kPlayMs = 600000;

void click(mogumo::Game& sim, FormId form, const char* name, int index = -1) {
    mogumo::Screen& screen = *sim.screens().loaded(form);
    sim.screens().click(screen, *screen.find(name, index));
}

void BM_WholeOutingAtTheSea(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto sim = std::make_unique<mogumo::Game>(mogumo::makeScreen);
        sim->start();
        click(*sim, FormId::Form1, "Command1");
        for (int i = 0; i < 3; ++i) click(*sim, FormId::Form3, "Command1", 1);
        click(*sim, FormId::Form3, "Command2");
        state.ResumeTiming();

        sim->run(200);
        click(*sim, FormId::Form5, "cast");
        // 10,000 steps of 51 ms use up the sea's 10,000 life points; whatever
        // bites is fought and lost, and the game ends on the results.
        sim->run(kPlayMs - 200);
        if (!sim->screens().loaded(FormId::Form4))
            state.SkipWithError("the outing did not reach the results");

        state.PauseTiming();
        sim.reset();
        state.ResumeTiming();
    }
    state.counters["x_real_time"] = benchmark::Counter(
        static_cast<double>(kPlayMs) / 1000.0 * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WholeOutingAtTheSea)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

void BM_ProgramStart(benchmark::State& state) {
    for (auto _ : state) {
        mogumo::Game sim(mogumo::makeScreen);
        sim.start();
        benchmark::DoNotOptimize(sim.now());
    }
}
BENCHMARK(BM_ProgramStart)->Unit(benchmark::kMicrosecond);

void BM_Dump(benchmark::State& state) {
    mogumo::Game sim(mogumo::makeScreen);
    sim.start();
    mogumo::JsonWriter out;
    for (auto _ : state) {
        mogumo::writeStateDump(sim, out);
        benchmark::DoNotOptimize(out.str().data());
    }
}
BENCHMARK(BM_Dump)->Unit(benchmark::kMicrosecond);

}  // namespace
