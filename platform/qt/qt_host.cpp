#include "platform/qt/qt_host.h"

#include <QGuiApplication>

#include "core/step_gate.h"
#include "platform/qt/help_window.h"
#include "platform/qt/picture_cache.h"
#include "platform/qt/screen_window.h"
#include "screens/screen_factory.h"

namespace mogumo {

namespace {
constexpr uint32_t kClockStart = 100000;
}

QtHost::QtHost(const PictureCache& pictures, Options options)
    : pictures_(pictures), options_(std::move(options)), screens_(*this, makeScreen) {
    clock_.start();
    ticks_ = options_.ticks
                 ? options_.ticks
                 : TickSource([this] { return kClockStart + static_cast<uint32_t>(clock_.elapsed()); });
    if (options_.helpUrl.isEmpty())
        options_.helpUrl = HelpWindow::defaultUrl();
    lastRead_ = ticks_();
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { wake(); });
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

uint64_t QtHost::now() {
    const uint32_t t = ticks_();
    now64_ += static_cast<uint32_t>(t - lastRead_);
    lastRead_ = t;
    return now64_;
}

void QtHost::start() {
    screens_.start();
    afterEvent();
}

Screen* QtHost::activeScreen(FormId form) const {
    Screen* s = screens_.loaded(form);
    if (!s || !s->visible() || !s->enabled() || screens_.ended())
        return nullptr;
    return s;
}

// Hands one event to an active screen and brings the windows in line after.
template <class Handler>
bool QtHost::deliver(FormId form, Handler&& handler) {
    Screen* s = activeScreen(form);
    if (!s || !handler(*s))
        return false;
    afterEvent();
    return true;
}

bool QtHost::click(FormId form, std::string_view control, int index) {
    return deliver(form, [&](Screen& s) {
        Control* c = s.find(control, index);
        if (!c || c->kind != ControlKind::Button || !c->visible || !c->enabled)
            return false;
        screens_.click(s, *c);
        return true;
    });
}

bool QtHost::keyDown(FormId form, int keyCode) {
    return deliver(form, [&](Screen& s) {
        screens_.keyDown(s, keyCode);
        return true;
    });
}

bool QtHost::keyUp(FormId form, int keyCode) {
    return deliver(form, [&](Screen& s) {
        screens_.keyUp(s, keyCode);
        return true;
    });
}

bool QtHost::close(FormId form) {
    return deliver(form, [&](Screen& s) {
        screens_.close(s);
        return true;
    });
}

void QtHost::windowKey(ScreenWindow& w, KeyMap::Action action, int code) {
    const Screen* s = screens_.loaded(w.form());
    if (!s || s->instance() != w.instance())
        return;
    if (action == KeyMap::Action::Down)
        keyDown(w.form(), code);
    else if (action == KeyMap::Action::Up)
        keyUp(w.form(), code);
}

void QtHost::wake() {
    ++wakes_;
    const uint64_t n = now();
    for (const TimerSchedule::Entry& e : schedule_.due(n)) {
        if (screens_.ended())
            break;
        // An earlier tick may have stopped it or unloaded its screen.
        if (!schedule_.isRunning(e.order))
            continue;
        Screen* s = screens_.loaded(e.form);
        if (!s || s->instance() != e.instance)
            continue;
        schedule_.advance(e.order, n);
        // Before the step gate opens such a tick would do nothing at all.
        if (TimerSchedule::waitsForGate(*e.timer) && !stepDue(ticks_(), screens_.state().LastTick))
            continue;
        for (Control& c : s->controls()) {
            if (&c != e.timer)
                continue;
            screens_.timerTick(*s, c);
            break;
        }
    }
    afterEvent();
}

std::optional<uint32_t> QtHost::nextWakeTick() const {
    if (!armedFor_)
        return std::nullopt;
    return static_cast<uint32_t>(lastRead_ + static_cast<uint32_t>(*armedFor_ - now64_));
}

ScreenWindow* QtHost::window(FormId form) const {
    return windows_[static_cast<size_t>(form)];
}

void QtHost::timerStarted(Screen& screen, Control& timer) {
    schedule_.started(screen.instance(), screen.id(), timer, now());
}

void QtHost::timerStopped(Screen& screen, Control& timer) {
    schedule_.stopped(screen.instance(), timer);
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
        if (s && s->instance() == w.instance())
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
    schedule_.screenGone(screen.instance());
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
    armedFor_.reset();
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

void QtHost::afterEvent() {
    // Windows of unloaded screens go once the event (and any signal of their
    // own buttons still on the stack) is over.
    for (ScreenWindow* w : retired_) w->deleteLater();
    retired_.clear();
    if (screens_.ended())
        return;
    for (ScreenWindow* w : windows_)
        if (w)
            w->sync();
    rearm();
    if (options_.afterEvent)
        options_.afterEvent();
}

void QtHost::rearm() {
    const uint64_t n = now();
    // When the shared step gate opens, on the 64-bit clock.
    const uint32_t opens = firstDueTick(screens_.state().LastTick);
    const auto ahead = static_cast<int32_t>(opens - lastRead_);
    const uint64_t gate = ahead <= 0 ? n : n + static_cast<uint64_t>(ahead);
    const std::optional<uint64_t> wakeAt = schedule_.nextWake(gate);
    if (!wakeAt) {
        timer_.stop();
        armedFor_.reset();
        return;
    }
    armedFor_ = *wakeAt;
    const uint64_t delay = *wakeAt > n ? *wakeAt - n : 0;
    timer_.start(static_cast<int>(std::min<uint64_t>(delay, 1u << 30)));
}

}  // namespace mogumo
