// Start-up of the game against a bare window: the time from exec to the end
// of the title window's first paint, and the peak resident memory by then.
// Every figure comes from a fresh process: the benchmark runs this executable
// again with --startup=game or --startup=bare, alternating, notes the steady
// clock just before it starts the child, and the child tells the steady clock
// at its first paint. Loading the libraries, static initialisers and
// QApplication all count. The medians and their ratios are reported.
//
// Linux only: peak resident memory is VmHWM from /proc/self/status.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <QPainter>
#include <QProcess>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/layout.h"
#include "platform/qt/game_launch.h"
#include "platform/qt/picture_cache.h"
#include "platform/qt/screen_window.h"
#include "ui/layouts/layouts.h"

namespace {

using namespace mogumo;

constexpr int kRuns = 7;  // of each, alternating

long peakResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

// The steady clock, the same in every process of the machine.
double steadyMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Notes the first top-level widget to be painted and, once that paint is
// over, the time and memory; then ends the event loop.
class FirstPaint : public QObject {
public:
    QWidget* window = nullptr;
    double ms = 0;
    long rssKb = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (window || event->type() != QEvent::Paint || !watched->isWidgetType())
            return false;
        auto* w = static_cast<QWidget*>(watched);
        if (!w->isWindow())
            return false;
        window = w;
        QMetaObject::invokeMethod(
            this,
            [this] {
                ms = steadyMs();
                rssKb = peakResidentKb();
                QCoreApplication::quit();
            },
            Qt::QueuedConnection);
        return false;
    }
};

// The bare window: the title window's size, one picture stretched over it.
class BareTitle : public QWidget {
public:
    explicit BareTitle(QPixmap picture) : picture_(std::move(picture)) {
        const ScreenLayout& title = layoutOf(FormId::Form1);
        setFixedSize(title.clientWidth / 15, title.clientHeight / 15);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawPixmap(rect(), picture_);
    }

private:
    QPixmap picture_;
};

// A child process: starts the game (or the bare window) and prints
// "<steady clock ms at the first paint> <peak resident kB>".
int startupMain(int argc, char** argv, bool game) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The game starts as the mogumo program does, through the same calls.
    if (game)
        GameLaunch::beforeApplication();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    FirstPaint watch;
    app.installEventFilter(&watch);

    std::unique_ptr<GameLaunch> launch;
    std::unique_ptr<BareTitle> bare;
    if (game) {
        QtHost::Options options;
        options.onEnd = [] {};
        launch = std::make_unique<GameLaunch>();
        if (!launch->open(options).empty())
            return 1;
        launch->host().start();
    } else {
        initResources();
        bare = std::make_unique<BareTitle>(QPixmap(QStringLiteral(":/pictures/title_art.xpm"), "XPM"));
        bare->show();
    }
    QApplication::exec();
    const QWidget* expected = game ? static_cast<QWidget*>(launch->host().window(FormId::Form1)) : bare.get();
    if (!watch.window || watch.window != expected)
        return 2;
    std::printf("%.3f %ld\n", watch.ms, watch.rssKb);
    return 0;
}

struct Startup {
    double ms = 0;
    double rssKb = 0;
};

bool runChild(const char* mode, Startup& out, std::string& error) {
    QProcess p;
    const double startedMs = steadyMs();
    p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--startup=") + QLatin1String(mode)});
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        error = std::string(mode) + " start-up failed: " + p.readAllStandardError().toStdString();
        return false;
    }
    const QList<QByteArray> fields = p.readAllStandardOutput().simplified().split(' ');
    if (fields.size() != 2) {
        error = std::string(mode) + " start-up printed no figures";
        return false;
    }
    out.ms = fields[0].toDouble() - startedMs;
    out.rssKb = fields[1].toDouble();
    return true;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void BM_StartupVsBareWindow(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<double> gameMs, bareMs, gameKb, bareKb;
        for (int i = 0; i < kRuns; ++i) {
            Startup g, b;
            std::string error;
            if (!runChild("game", g, error) || !runChild("bare", b, error)) {
                state.SkipWithError(error.c_str());
                return;
            }
            gameMs.push_back(g.ms);
            bareMs.push_back(b.ms);
            gameKb.push_back(g.rssKb);
            bareKb.push_back(b.rssKb);
        }
        const double gMs = median(gameMs), bMs = median(bareMs);
        const double gMb = median(gameKb) / 1024, bMb = median(bareKb) / 1024;
        state.counters["game_ms"] = gMs;
        state.counters["bare_ms"] = bMs;
        state.counters["time_ratio"] = gMs / bMs;
        state.counters["game_peak_rss_mb"] = gMb;
        state.counters["bare_peak_rss_mb"] = bMb;
        state.counters["rss_ratio"] = gMb / bMb;
    }
}
BENCHMARK(BM_StartupVsBareWindow)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--startup=game") == 0)
            return startupMain(argc, argv, true);
        if (std::strcmp(argv[i], "--startup=bare") == 0)
            return startupMain(argc, argv, false);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // The children inherit the platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
