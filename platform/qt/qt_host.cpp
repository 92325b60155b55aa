#include "platform/qt/qt_host.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <exception>

#include "core/keys.h"
#include "platform/qt/game_recorder.h"
#include "platform/qt/help_window.h"
#include "platform/qt/picture_cache.h"
#include "platform/qt/screen_window.h"
#include "screens/screen_factory.h"
#include "script/command.h"
#include "script/state_dump.h"

namespace mogumo {

QtHost::QtHost(const PictureCache& pictures, Options options)
    : pictures_(pictures),
      options_(std::move(options)),
      clock_(options_.realClock, options_.clockStart),
      game_(makeScreen, options_.clockStart, this) {
    if (options_.helpUrl.isEmpty())
        options_.helpUrl = HelpWindow::defaultUrl();
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

uint64_t QtHost::realNow() const {
    return clock_.realNow();
}

void QtHost::start() {
    guarded([&] {
        game_.start();
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
    const std::optional<GameClock::Move> move = clock_.catchUp(game_, options_.replaying);
    if (move && options_.recorder)
        options_.recorder->time(move->lost ? script::Verb::Wait : script::Verb::Run, move->ms);
}

// Hands one input event to the game once the game clock has caught up with
// it, and brings the windows in line after. The game checks the event first;
// the handler writes its script line and carries it out, and it is refused
// (false) when the game would not take it.
template <class Handler>
bool QtHost::deliver(Handler&& handler) {
    bool accepted = false;
    guarded([&] {
        catchUp();
        accepted = handler();
        afterEvent();
    });
    return accepted;
}

bool QtHost::click(FormId form, std::string_view control, int index) {
    return deliver([&] {
        if (failed_ || game_.refusesClick(form, control, index))
            return false;
        if (options_.recorder) {
            options_.recorder->input(script::inputCommand(script::Verb::Click, form, 0, control, index));
        }
        return !game_.click(form, control, index);
    });
}

bool QtHost::keyDown(FormId form, int keyCode) {
    return key(script::Verb::KeyDown, form, keyCode);
}

bool QtHost::keyUp(FormId form, int keyCode) {
    return key(script::Verb::KeyUp, form, keyCode);
}

bool QtHost::close(FormId form) {
    return deliver([&] {
        if (failed_ || game_.refusesInput(form))
            return false;
        if (options_.recorder)
            options_.recorder->input(script::inputCommand(script::Verb::Close, form));
        return !game_.close(form);
    });
}

bool QtHost::key(script::Verb verb, FormId form, int keyCode) {
    return deliver([&] {
        if (failed_ || game_.refusesInput(form))
            return false;
        if (options_.recorder)
            options_.recorder->input(script::inputCommand(verb, form, keyCode));
        return verb == script::Verb::KeyDown ? !game_.keyDown(form, keyCode) : !game_.keyUp(form, keyCode);
    });
}

bool QtHost::tick(FormId form, std::string_view timer, int index) {
    bool ticked = false;
    guarded([&] {
        ticked = !game_.tick(form, timer, index);
        if (ticked)
            afterEvent();
    });
    return ticked;
}

void QtHost::wait(uint64_t ms) {
    if (game_.ended())
        return;
    game_.wait(ms);
    clock_.shift(ms);
    afterEvent();
}

void QtHost::setTimeLimit(std::optional<uint64_t> limit) {
    clock_.setLimit(limit);
    afterEvent();
}

void QtHost::resync() {
    clock_.resync(game_.now());
}

void QtHost::windowKey(ScreenWindow& w, KeyMap::Action action, int code) {
    const Screen* s = screens().loaded(w.form());
    if (!s || s->instance() != w.instance())
        return;
    if (options_.replaying) {
        // Watching a recorded game: F1 still opens the help.
        if (action == KeyMap::Action::Down && code == kKeyF1)
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
    return stateDump(game_);
}

void QtHost::screenShown(Screen& screen) {
    ScreenWindow*& slot = windows_[static_cast<size_t>(screen.id())];
    if (slot) {
        slot->detach();
        retired_.push_back(slot);
    }
    ScreenWindow::Callbacks callbacks;
    callbacks.click = [this](ScreenWindow& w, const Control& c) {
        const Screen* s = screens().loaded(w.form());
        if (s && s->instance() == w.instance() && !options_.replaying)
            click(w.form(), c.name, c.index);
    };
    callbacks.key = [this](ScreenWindow& w, KeyMap::Action a, int code) { windowKey(w, a, code); };
    callbacks.close = [this](ScreenWindow& w) {
        const Screen* s = screens().loaded(w.form());
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
    openHelp();
}

void QtHost::openHelp() {
    if (!help_) {
        help_ = std::make_unique<HelpWindow>(options_.helpUrl);
        // Put away, the help gives the keys back to the screen being played.
        help_->setOnClosed([this] {
            if (!game_.ended())
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
        if (const Screen* s = game_.screens().loaded(static_cast<FormId>(i)); s && s->visible())
            bits |= 1u << i;
    return bits;
}

void QtHost::afterEvent() {
    // Windows of unloaded screens go once the event (and any signal of their
    // own buttons still on the stack) is over and what replaces them is painted.
    for (ScreenWindow* w : retired_) desk_.retire(w);
    retired_.clear();
    if (game_.ended() || failed_)
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
    std::optional<uint64_t> next = game_.nextTickAt();
    if (next && clock_.limit() && *next > *clock_.limit())
        next.reset();
    if (!next) {
        timer_.stop();
        wakeAt_.reset();
        return;
    }
    const uint64_t delay = std::min<uint64_t>(clock_.delayUntil(*next), 1u << 30);
    wakeAt_ = clock_.realMs() + delay;
    timer_.start(static_cast<int>(delay));
}

}  // namespace mogumo
