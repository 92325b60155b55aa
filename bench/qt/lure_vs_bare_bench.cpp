// The lure screen in the real host against a bare Qt window of the same size
// that moves one sprite on a precise 51 ms timer. Both run in this process, in
// alternating turns of a few seconds; each reports its CPU share, wake-ups per
// second and frame intervals, and the counters give the ratios.

#include <benchmark/benchmark.h>
#if defined(__unix__)
#include <sys/resource.h>
#endif
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <numeric>
#include <vector>

#include "core/layout.h"
#include "platform/qt/picture_cache.h"
#include "platform/qt/qt_host.h"
#include "ui/layouts/layouts.h"

namespace {

using namespace mogumo;

constexpr int kTurns = 3;  // of each, alternating
constexpr int kTurnMs = 2000;
constexpr int kSettleMs = 300;
constexpr int kFrameMs = 51;

// The process's CPU time: user and system time where the system tells them,
// the library's clock() where there is no getrusage().
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

// What one side did over its turns.
struct Tally {
    double seconds = 0;
    double cpu = 0;
    uint64_t wakes = 0;
    std::vector<double> gapsMs;  // between successive frames (steps)
    std::vector<double> lateMs;  // the bare window's wakes after their marks

    void addFrames(const std::vector<qint64>& ns) {
        for (size_t i = 1; i < ns.size(); ++i) gapsMs.push_back(static_cast<double>(ns[i] - ns[i - 1]) / 1e6);
    }
    double cpuPercent() const { return 100.0 * cpu / seconds; }
    double wakesPerSecond() const { return static_cast<double>(wakes) / seconds; }
    double framesPerSecond() const { return static_cast<double>(gapsMs.size()) / seconds; }
    static double mean(const std::vector<double>& v) {
        return v.empty() ? 0 : std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
    }
    double p99GapMs() const {
        if (gapsMs.empty())
            return 0;
        std::vector<double> g = gapsMs;
        std::sort(g.begin(), g.end());
        return g[std::min(g.size() - 1, g.size() * 99 / 100)];
    }
};

// Measures CPU, wall time and wake-ups over `ms` of event loop.
template <class Wakes>
void measure(Tally& tally, int ms, Wakes&& wakes) {
    QElapsedTimer wall;
    const double cpu0 = cpuSeconds();
    const uint64_t wakes0 = wakes();
    wall.start();
    spin(ms);
    tally.seconds += static_cast<double>(wall.nsecsElapsed()) / 1e9;
    tally.cpu += cpuSeconds() - cpu0;
    tally.wakes += wakes() - wakes0;
}

// The least a game window can do: a sprite crossing the lure screen's client
// area, nearest-neighbour scaled, on one precise single-shot timer re-armed
// for the next 51 ms mark.
class BareWindow : public QWidget {
public:
    BareWindow(const QPixmap& sprite, QSize size) : sprite_(sprite) {
        setFixedSize(size);
        setAttribute(Qt::WA_OpaquePaintEvent);
        timer_.setSingleShot(true);
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { frame(); });
    }

    void run() {
        clock_.start();
        nextMs_ = kFrameMs;
        arm();
    }
    uint64_t wakes() const { return wakes_; }
    std::vector<qint64>& frameNs() { return frameNs_; }
    // How late each frame came after its 51 ms mark.
    std::vector<double>& lateMs() { return lateMs_; }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter p(this);
        p.fillRect(event->rect(), QColor(0, 128, 128));
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        p.drawPixmap(spriteRect(), sprite_);
    }

private:
    static constexpr int kScale = 2;
    static constexpr int kStepPx = 3;

    QRect spriteRect() const {
        return {x_, height() / 3, sprite_.width() * kScale, sprite_.height() * kScale};
    }

    void frame() {
        ++wakes_;
        const qint64 ns = clock_.nsecsElapsed();
        frameNs_.push_back(ns);
        lateMs_.push_back(static_cast<double>(ns) / 1e6 - static_cast<double>(nextMs_));
        const QRect before = spriteRect();
        x_ += dx_;
        if (x_ < 0 || x_ + before.width() > width()) {
            dx_ = -dx_;
            x_ += 2 * dx_;
        }
        update(before.united(spriteRect()));
        nextMs_ += kFrameMs;
        arm();
    }

    void arm() { timer_.start(static_cast<int>(std::max<qint64>(0, nextMs_ - clock_.elapsed()))); }

    QPixmap sprite_;
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 nextMs_ = 0;
    int x_ = 0;
    int dx_ = kStepPx;
    uint64_t wakes_ = 0;
    std::vector<qint64> frameNs_;
    std::vector<double> lateMs_;
};

// One turn of the bare window: shown, settled, then measured.
void bareTurn(Tally& tally, const PictureCache& pictures) {
    const ScreenLayout& lure = layoutOf(FormId::Form6);
    BareWindow w(*pictures.pixmap("fish_calm"), QSize(lure.clientWidth / 15, lure.clientHeight / 15));
    w.show();
    w.run();
    spin(kSettleMs);
    w.frameNs().clear();
    w.lateMs().clear();
    measure(tally, kTurnMs, [&] { return w.wakes(); });
    tally.addFrames(w.frameNs());
    tally.lateMs.insert(tally.lateMs.end(), w.lateMs().begin(), w.lateMs().end());
}

// One turn of the host: the title, the sea, a cast, then the lure sinking with
// Shift up while it is measured. False if the lure screen went away early.
bool hostTurn(Tally& tally, const PictureCache& pictures) {
    QElapsedTimer wall;
    wall.start();
    std::vector<qint64> stepNs;
    int32_t lastTick = 0;
    bool recording = false;
    QtHost* hostPtr = nullptr;
    QtHost::Options options;
    options.onEnd = [] {};
    options.afterEvent = [&] {
        const int32_t t = hostPtr->screens().state().LastTick;
        if (t == lastTick)
            return;
        lastTick = t;
        if (recording)
            stepNs.push_back(wall.nsecsElapsed());
    };
    QtHost host(pictures, options);
    hostPtr = &host;
    host.start();
    host.click(FormId::Form1, "Command1");
    host.click(FormId::Form3, "Command2");
    spin(kSettleMs);
    host.click(FormId::Form5, "cast");
    host.keyUp(FormId::Form6, 16);
    spin(kSettleMs);
    recording = true;
    measure(tally, kTurnMs, [&] { return host.wakeCount(); });
    recording = false;
    tally.addFrames(stepNs);
    return host.screens().loaded(FormId::Form6) != nullptr;
}

void BM_LureScreenVsBareWindow(benchmark::State& state) {
    ensureApplication();
    static PictureCache& pictures = *new PictureCache;
    if (!pictures.loaded() && !pictures.load().empty()) {
        state.SkipWithError("pictures missing");
        return;
    }
    for (auto _ : state) {
        Tally host;
        Tally bare;
        for (int turn = 0; turn < kTurns; ++turn) {
            bareTurn(bare, pictures);
            if (!hostTurn(host, pictures)) {
                state.SkipWithError("the lure screen closed during the measurement");
                return;
            }
        }
        state.counters["host_cpu_pct"] = host.cpuPercent();
        state.counters["bare_cpu_pct"] = bare.cpuPercent();
        state.counters["cpu_ratio"] = host.cpuPercent() / bare.cpuPercent();
        state.counters["host_wakes_per_s"] = host.wakesPerSecond();
        state.counters["bare_wakes_per_s"] = bare.wakesPerSecond();
        state.counters["wake_ratio"] = host.wakesPerSecond() / bare.wakesPerSecond();
        state.counters["host_steps_per_s"] = host.framesPerSecond();
        state.counters["host_step_ms_mean"] = Tally::mean(host.gapsMs);
        state.counters["host_step_ms_p99"] = host.p99GapMs();
        state.counters["bare_frame_ms_mean"] = Tally::mean(bare.gapsMs);
        state.counters["bare_late_ms_mean"] = Tally::mean(bare.lateMs);
    }
}
BENCHMARK(BM_LureScreenVsBareWindow)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
