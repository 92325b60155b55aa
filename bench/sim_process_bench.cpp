// mogumo-sim as a player's tools run it: a fresh process replaying a whole
// game of 240 s (bench/whole_game.txt), from exec to exit, its dumps read
// through a pipe. `x_real_time` is how many seconds of play pass in one
// second of the machine's time, start-up and dumps included.
//
// POSIX only: the child is started with posix_spawn.

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

extern char** environ;

namespace {

constexpr double kPlaySeconds = 240.0;

// Runs the simulator on the script and reads all it writes; false (with the
// reason) when it cannot be started or does not exit with 0.
bool replay(std::string& dumps, std::string& error) {
    int out[2];
    if (pipe(out) != 0) {
        error = "no pipe";
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    char exe[] = MOGUMO_SIM_EXE;
    char script[] = MOGUMO_WHOLE_GAME;
    char* argv[] = {exe, script, nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, exe, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        error = "cannot start " + std::string(exe);
        return false;
    }
    dumps.clear();
    char buf[65536];
    for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;) dumps.append(buf, static_cast<size_t>(n));
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        error = "mogumo-sim failed on the whole game";
        return false;
    }
    return true;
}

void BM_SimProcessWholeGame(benchmark::State& state) {
    std::string dumps;
    std::string error;
    for (auto _ : state) {
        if (!replay(dumps, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
    }
    state.counters["dump_kb"] = static_cast<double>(dumps.size()) / 1024.0;
    state.counters["x_real_time"] = benchmark::Counter(kPlaySeconds * static_cast<double>(state.iterations()),
                                                       benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SimProcessWholeGame)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
