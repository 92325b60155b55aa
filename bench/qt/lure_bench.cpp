// The lure screen in the real host: steps per second, step intervals, wake-ups
// and CPU share over about three seconds of real time.

#include <benchmark/benchmark.h>
#if defined(__unix__)
#include <sys/resource.h>
#endif

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <ctime>
#include <numeric>
#include <vector>

#include "platform/qt/picture_cache.h"
#include "platform/qt/qt_host.h"

namespace {

using namespace mogumo;

// The process's CPU time. The one POSIX call of the project, with the C
// library's clock() where there is no getrusage().
double cpuSeconds() {
#if defined(__unix__)
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
#else
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
#endif
}

void spin(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// The offscreen application, made once and kept to the end of the process.
void ensureApplication() {
    if (QApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "mogumo_qt_bench";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
}

void BM_LureScreen(benchmark::State& state) {
    ensureApplication();
    static PictureCache& pictures = *new PictureCache;
    if (!pictures.loaded() && !pictures.load().empty()) {
        state.SkipWithError("pictures missing");
        return;
    }
    for (auto _ : state) {
        QElapsedTimer wall;
        wall.start();
        std::vector<qint64> stepsNs;
        int32_t lastTick = 0;
        bool measuring = false;
        QtHost* hostPtr = nullptr;
        QtHost::Options options;
        options.onEnd = [] {};
        options.afterEvent = [&] {
            const int32_t t = hostPtr->screens().state().LastTick;
            if (t == lastTick)
                return;
            lastTick = t;
            if (measuring && hostPtr->screens().loaded(FormId::Form6))
                stepsNs.push_back(wall.nsecsElapsed());
        };
        QtHost host(pictures, options);
        hostPtr = &host;
        host.start();
        host.click(FormId::Form1, "Command1");
        host.click(FormId::Form3, "Command2");
        spin(300);
        host.click(FormId::Form5, "cast");
        host.keyUp(FormId::Form6, 16);  // Shift stays up: the lure just sinks

        const double cpu0 = cpuSeconds();
        const qint64 wall0 = wall.nsecsElapsed();
        const uint64_t wakes0 = host.wakeCount();
        measuring = true;
        spin(3000);
        measuring = false;
        const double seconds = static_cast<double>(wall.nsecsElapsed() - wall0) / 1e9;
        const double cpu = cpuSeconds() - cpu0;

        std::vector<double> gaps;
        for (size_t i = 1; i < stepsNs.size(); ++i)
            gaps.push_back(static_cast<double>(stepsNs[i] - stepsNs[i - 1]) / 1e6);
        std::sort(gaps.begin(), gaps.end());
        const double mean = gaps.empty() ? 0 : std::accumulate(gaps.begin(), gaps.end(), 0.0) / gaps.size();
        const double p99 = gaps.empty() ? 0 : gaps[std::min(gaps.size() - 1, gaps.size() * 99 / 100)];

        state.counters["steps_per_s"] = static_cast<double>(stepsNs.size()) / seconds;
        state.counters["step_ms_mean"] = mean;
        state.counters["step_ms_p99"] = p99;
        state.counters["wakes_per_s"] = static_cast<double>(host.wakeCount() - wakes0) / seconds;
        state.counters["cpu_percent"] = 100.0 * cpu / seconds;
    }
}
BENCHMARK(BM_LureScreen)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
