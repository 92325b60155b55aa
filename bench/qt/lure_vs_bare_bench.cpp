// The lure screen in the real host against two bare Qt windows of the same
// size on a precise 51 ms timer: one that only moves a sprite (the floor), one
// that also draws the two status lines afresh with plain text drawing every
// step. All run in this process, in alternating turns of a few seconds; each
// reports its CPU share, wake-ups per second and frame intervals, and the
// counters give the ratios.
//
// `--profile=lure|lure-shift|bare|text --steps=N` runs N steps of one of them
// on a made-up clock instead, each painted at once, and nothing else: under
// `valgrind --tool=callgrind --instr-atstart=no` only those steps are counted.

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
#include <cstring>
#include <ctime>
#include <numeric>
#include <string>
#include <vector>
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_START_INSTRUMENTATION
#define CALLGRIND_STOP_INSTRUMENTATION
#endif

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
// for the next 51 ms mark. With `lines`, it also writes the lure screen's two
// status lines, new each step, with plain drawText into the box they have
// there.
class BareWindow : public QWidget {
public:
    BareWindow(const QPixmap& sprite, QSize size, bool lines = false) : sprite_(sprite), lines_(lines) {
        setFixedSize(size);
        setAttribute(Qt::WA_OpaquePaintEvent);
        if (lines_)
            setFont(QFont(QStringLiteral("IPAGothic"), 9));
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
        if (lines_ && event->rect().intersects(kLinesBox)) {
            p.fillRect(kLinesBox, Qt::white);
            p.drawText(kLinesBox.adjusted(4, 4, -4, -4), Qt::AlignLeft | Qt::AlignTop,
                       QStringLiteral("YOUR LIFE：%1 魚の興味：%2％\n岸まで%3M")
                           .arg(life_)
                           .arg(life_ % 90)
                           .arg(life_ / 10));
        }
    }

public:
    // A step without the timer (for --profile).
    void step() { frame(); }

private:
    // Where the lure screen keeps its status box, in pixels.
    static constexpr QRect kLinesBox{7, 140, 421, 50};
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
        if (lines_) {
            --life_;
            update(kLinesBox);
        }
        nextMs_ += kFrameMs;
        arm();
    }

    void arm() { timer_.start(static_cast<int>(std::max<qint64>(0, nextMs_ - clock_.elapsed()))); }

    QPixmap sprite_;
    bool lines_;
    int life_ = 2000;
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 nextMs_ = 0;
    int x_ = 0;
    int dx_ = kStepPx;
    uint64_t wakes_ = 0;
    std::vector<qint64> frameNs_;
    std::vector<double> lateMs_;
};

QSize lureClient() {
    const ScreenLayout& lure = layoutOf(FormId::Form6);
    return {lure.clientWidth / 15, lure.clientHeight / 15};
}

// One turn of a bare window: shown, settled, then measured.
void bareTurn(Tally& tally, const PictureCache& pictures, bool lines) {
    BareWindow w(*pictures.pixmap("fish_calm"), lureClient(), lines);
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
        Tally text;
        for (int turn = 0; turn < kTurns; ++turn) {
            bareTurn(bare, pictures, false);
            bareTurn(text, pictures, true);
            if (!hostTurn(host, pictures)) {
                state.SkipWithError("the lure screen closed during the measurement");
                return;
            }
        }
        state.counters["host_cpu_pct"] = host.cpuPercent();
        state.counters["bare_cpu_pct"] = bare.cpuPercent();
        state.counters["text_cpu_pct"] = text.cpuPercent();
        state.counters["cpu_ratio"] = host.cpuPercent() / bare.cpuPercent();
        state.counters["cpu_ratio_text"] = host.cpuPercent() / text.cpuPercent();
        state.counters["host_wakes_per_s"] = host.wakesPerSecond();
        state.counters["bare_wakes_per_s"] = bare.wakesPerSecond();
        state.counters["wake_ratio"] = host.wakesPerSecond() / bare.wakesPerSecond();
        state.counters["wake_ratio_text"] = host.wakesPerSecond() / text.wakesPerSecond();
        state.counters["host_steps_per_s"] = host.framesPerSecond();
        state.counters["host_step_ms_mean"] = Tally::mean(host.gapsMs);
        state.counters["host_step_ms_p99"] = host.p99GapMs();
        state.counters["bare_frame_ms_mean"] = Tally::mean(bare.gapsMs);
        state.counters["bare_late_ms_mean"] = Tally::mean(bare.lateMs);
    }
}
BENCHMARK(BM_LureScreenVsBareWindow)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// Paints what the steps left to paint, as the event loop would.
void paintNow() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// --profile: `steps` frames of one side on a made-up clock.
int profile(const std::string& what, int steps) {
    ensureApplication();
    PictureCache pictures;
    if (!pictures.load().empty())
        return 1;
    if (what == "bare" || what == "text") {
        BareWindow w(*pictures.pixmap("fish_calm"), lureClient(), what == "text");
        w.show();
        paintNow();
        CALLGRIND_START_INSTRUMENTATION;
        for (int i = 0; i < steps; ++i) {
            w.step();
            paintNow();
        }
        CALLGRIND_STOP_INSTRUMENTATION;
        return 0;
    }
    if (what != "lure" && what != "lure-shift")
        return 1;
    uint64_t real = 0;
    QtHost::Options options;
    options.onEnd = [] {};
    options.realClock = [&real] { return real; };
    QtHost host(pictures, options);
    const auto runFor = [&](uint64_t ms) {
        const uint64_t end = real + ms;
        while (host.nextWakeAt() && *host.nextWakeAt() <= end) {
            real = std::max(real, *host.nextWakeAt());
            host.wake();
            paintNow();
        }
        real = end;
    };
    host.start();
    paintNow();
    host.click(FormId::Form1, "Command1");
    host.click(FormId::Form3, "Command2");
    runFor(300);
    host.click(FormId::Form5, "cast");
    // With Shift the lure comes up from where it sank to in 3 s: some 25
    // steps before it is back.
    runFor(what == "lure-shift" ? 3000 : 100);
    if (what == "lure-shift")
        host.keyDown(FormId::Form6, 16);
    CALLGRIND_START_INSTRUMENTATION;
    runFor(static_cast<uint64_t>(steps) * kFrameMs);
    CALLGRIND_STOP_INSTRUMENTATION;
    return host.screens().loaded(FormId::Form6) ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string what;
    int steps = 100;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--profile=", 10) == 0)
            what = argv[i] + 10;
        else if (std::strncmp(argv[i], "--steps=", 8) == 0)
            steps = std::atoi(argv[i] + 8);
    }
    if (!what.empty())
        return profile(what, steps);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
