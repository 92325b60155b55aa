#include "platform/qt/qt_host.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMessageBox>
#include <exception>

#include "platform/qt/game_recorder.h"
#include "platform/qt/help_window.h"
#include "platform/qt/picture_cache.h"
#include "platform/qt/screen_window.h"
#include "platform/sim/state_dump.h"
#include "screens/screen_factory.h"

namespace mogumo {

namespace {
std::string formName(FormId form) {
    return std::string(layoutOf(form).formName);
}
}  // namespace

QtHost::QtHost(const PictureCache& pictures, Options options)
    : pictures_(pictures),
      options_(std::move(options)),
      scheduler_(screens_, options_.clockStart),
      screens_(*this, makeScreen) {
    if (options_.realClock) {
        realClock_ = options_.realClock;
    } else {
        auto steady = std::make_shared<QElapsedTimer>();
        steady->start();
        realClock_ = [steady] { return static_cast<uint64_t>(steady->elapsed()); };
    }
    realOrigin_ = realClock_();
    if (options_.helpUrl.isEmpty())
        options_.helpUrl = HelpWindow::defaultUrl();
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { wake(); });
#ifndef NDEBUG
    scheduler_.checkSkips([this] { return dump(); }, TimerScheduler::kSampledCheckEvery);
#endif
}

QtHost::~QtHost() {
    timer_.stop();
    for (ScreenWindow*& w : windows_) {
        delete w;
        w = nullptr;
    }
    for (ScreenWindow* w : retired_) delete w;
    retired_.clear();
}

uint64_t QtHost::realNow() const {
    return static_cast<uint64_t>(static_cast<int64_t>(options_.clockStart + (realClock_() - realOrigin_)) +
                                 shift_);
}

void QtHost::start() {
    guarded([&] {
        screens_.start();
        shown_ = shownScreens();
        afterEvent();
    });
}

// Runs a piece of the game; an error inside it ends the game with a message
// instead of unwinding through Qt's event loop.
template <class Work>
void QtHost::guarded(Work&& work) {
    if (failed_)
        return;
    try {
        work();
    } catch (const std::exception& e) {
        fail(e.what());
    }
}

void QtHost::fail(const std::string& message) {
    failed_ = true;
    timer_.stop();
    for (ScreenWindow* w : windows_)
        if (w)
            w->hide();
    if (help_)
        help_->hide();
    if (options_.onError) {
        options_.onError(message);
        return;
    }
    QMessageBox::critical(
        nullptr, QStringLiteral("Mogumo"),
        QStringLiteral("ゲームの中で誤りが起きました: %1").arg(QString::fromStdString(message)));
    QCoreApplication::exit(1);
}

// The game clock catches up with real time: every tick due by now runs, or,
// after a stall, the time is lost.
void QtHost::catchUp() {
    if (screens_.ended())
        return;
    uint64_t target = realNow();
    if (limit_)
        target = std::min(target, *limit_);
    const uint64_t from = scheduler_.now();
    if (target <= from)
        return;
    const std::optional<uint64_t> due = scheduler_.nextTickAt();
    if (!options_.replaying && due && *due <= target && target - *due > kStallMs) {
        scheduler_.wait(target - from);
        if (options_.recorder)
            options_.recorder->wait(target - from);
        return;
    }
    scheduler_.runUntil(target);
    if (options_.recorder)
        options_.recorder->run(target - from);
}

Screen* QtHost::activeScreen(FormId form) const {
    Screen* s = screens_.loaded(form);
    if (!s || !s->visible() || !s->enabled() || screens_.ended() || failed_)
        return nullptr;
    return s;
}

// Hands one input event to an active screen, once the game clock has caught
// up with it, and brings the windows in line after. The handler checks the
// event, writes its script line and dispatches it; false when refused.
template <class Handler>
bool QtHost::deliver(FormId form, Handler&& handler) {
    bool accepted = false;
    guarded([&] {
        catchUp();
        if (Screen* s = activeScreen(form)) {
            accepted = handler(*s);
        }
        afterEvent();
    });
    return accepted;
}

bool QtHost::click(FormId form, std::string_view control, int index) {
    return deliver(form, [&](Screen& s) {
        Control* c = s.find(control, index);
        if (!c || c->kind != ControlKind::Button || !c->visible || !c->enabled)
            return false;
        if (options_.recorder)
            options_.recorder->input("click " + formName(form) + "." + c->key());
        screens_.click(s, *c);
        return true;
    });
}

bool QtHost::keyDown(FormId form, int keyCode) {
    return deliver(form, [&](Screen& s) {
        if (options_.recorder)
            options_.recorder->input("keydown " + formName(form) + " " + std::to_string(keyCode));
        screens_.keyDown(s, keyCode);
        return true;
    });
}

bool QtHost::keyUp(FormId form, int keyCode) {
    return deliver(form, [&](Screen& s) {
        if (options_.recorder)
            options_.recorder->input("keyup " + formName(form) + " " + std::to_string(keyCode));
        screens_.keyUp(s, keyCode);
        return true;
    });
}

bool QtHost::close(FormId form) {
    return deliver(form, [&](Screen& s) {
        if (options_.recorder)
            options_.recorder->input("close " + formName(form));
        screens_.close(s);
        return true;
    });
}

bool QtHost::tick(FormId form, std::string_view timer, int index) {
    bool ticked = false;
    guarded([&] {
        Screen* s = screens_.loaded(form);
        Control* c = s ? s->find(timer, index) : nullptr;
        if (screens_.ended() || !c || !scheduler_.isRunning(*s, *c))
            return;
        screens_.timerTick(*s, *c);
        ticked = true;
        afterEvent();
    });
    return ticked;
}

void QtHost::wait(uint64_t ms) {
    if (screens_.ended())
        return;
    scheduler_.wait(ms);
    shift_ += static_cast<int64_t>(ms);
    afterEvent();
}

void QtHost::setTimeLimit(std::optional<uint64_t> limit) {
    limit_ = limit;
    afterEvent();
}

void QtHost::resync() {
    shift_ += static_cast<int64_t>(scheduler_.now()) - static_cast<int64_t>(realNow());
}

void QtHost::windowKey(ScreenWindow& w, KeyMap::Action action, int code) {
    const Screen* s = screens_.loaded(w.form());
    if (!s || s->instance() != w.instance())
        return;
    if (options_.replaying) {
        // Watching a recorded game: F1 still opens the help.
        if (action == KeyMap::Action::Down && code == ScreenSet::kKeyF1)
            openHelp();
        return;
    }
    if (action == KeyMap::Action::Down)
        keyDown(w.form(), code);
    else if (action == KeyMap::Action::Up)
        keyUp(w.form(), code);
}

void QtHost::wake() {
    ++wakes_;
    guarded([&] {
        catchUp();
        afterEvent();
    });
}

std::optional<uint64_t> QtHost::nextWakeAt() const {
    return timer_.isActive() ? wakeAt_ : std::nullopt;
}

ScreenWindow* QtHost::window(FormId form) const {
    return windows_[static_cast<size_t>(form)];
}

std::string QtHost::dump() const {
    return stateDump(screens_, scheduler_.tickCount(), helpRequests_);
}

void QtHost::timerStarted(Screen& screen, Control& timer) {
    scheduler_.started(screen, timer);
}

void QtHost::timerStopped(Screen& screen, Control& timer) {
    scheduler_.stopped(screen, timer);
}

void QtHost::screenShown(Screen& screen) {
    ScreenWindow*& slot = windows_[static_cast<size_t>(screen.id())];
    if (slot) {
        slot->detach();
        retired_.push_back(slot);
    }
    ScreenWindow::Callbacks callbacks;
    callbacks.click = [this](ScreenWindow& w, const Control& c) {
        const Screen* s = screens_.loaded(w.form());
        if (s && s->instance() == w.instance() && !options_.replaying)
            click(w.form(), c.name, c.index);
    };
    callbacks.key = [this](ScreenWindow& w, KeyMap::Action a, int code) { windowKey(w, a, code); };
    callbacks.close = [this](ScreenWindow& w) {
        const Screen* s = screens_.loaded(w.form());
        if (s && s->instance() == w.instance())
            close(w.form());
    };
    slot = new ScreenWindow(screen, pictures_, std::move(callbacks));
    desk_.place(*slot);
    slot->show();
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        slot->raise();
    slot->focusAtOpen();
    desk_.opened(*slot);
}

void QtHost::screenEnabledChanged(Screen& screen) {
    if (ScreenWindow* w = window(screen.id()); w && w->instance() == screen.instance()) {
        w->setEnabled(screen.enabled());
        desk_.enabledChanged();
    }
}

void QtHost::screenUnloaded(Screen& screen) {
    scheduler_.screenGone(screen);
    ScreenWindow*& slot = windows_[static_cast<size_t>(screen.id())];
    if (slot && slot->instance() == screen.instance()) {
        desk_.closing(*slot);
        // The screen object dies once this event is over: let go of it now.
        slot->detach();
        retired_.push_back(slot);
        slot = nullptr;
    }
}

void QtHost::showHelp() {
    ++helpRequests_;
    openHelp();
}

void QtHost::openHelp() {
    if (!help_) {
        help_ = std::make_unique<HelpWindow>(options_.helpUrl);
        // Put away, the help gives the keys back to the screen being played.
        help_->setOnClosed([this] {
            if (!screens_.ended())
                desk_.helpClosed();
        });
    }
    help_->open(desk_.helpOpening());
}

void QtHost::endProgram() {
    timer_.stop();
    if (options_.recorder)
        options_.recorder->dump(dump());
    for (ScreenWindow* w : windows_)
        if (w)
            w->hide();
    if (help_)
        help_->hide();
    if (options_.onEnd)
        options_.onEnd();
    else
        QCoreApplication::quit();
}

unsigned QtHost::shownScreens() const {
    unsigned bits = 0;
    for (int i = 0; i < kFormCount; ++i)
        if (const Screen* s = screens_.loaded(static_cast<FormId>(i)); s && s->visible())
            bits |= 1u << i;
    return bits;
}

void QtHost::afterEvent() {
    // Windows of unloaded screens go once the event (and any signal of their
    // own buttons still on the stack) is over and what replaces them is painted.
    for (ScreenWindow* w : retired_) desk_.retire(w);
    retired_.clear();
    if (screens_.ended() || failed_)
        return;
    // A hand-over between screens is a point to compare a replay against.
    if (const unsigned shown = shownScreens(); shown != shown_) {
        shown_ = shown;
        if (options_.recorder)
            options_.recorder->dump(dump());
    }
    for (ScreenWindow* w : windows_)
        if (w)
            w->sync();
    rearm();
    if (options_.afterEvent)
        options_.afterEvent();
}

// Sleeps until the next tick that can change the game, or until a replay's
// time limit stops the clock.
void QtHost::rearm() {
    std::optional<uint64_t> next = scheduler_.nextTickAt();
    if (next && limit_ && *next > *limit_)
        next.reset();
    if (!next) {
        timer_.stop();
        wakeAt_.reset();
        return;
    }
    const uint64_t real = realNow();
    const uint64_t delay = std::min<uint64_t>(*next > real ? *next - real : 0, 1u << 30);
    wakeAt_ = realClock_() + delay;
    timer_.start(static_cast<int>(delay));
}

}  // namespace mogumo
