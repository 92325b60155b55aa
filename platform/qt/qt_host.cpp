#include "platform/qt/qt_host.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QWindow>
#include <algorithm>
#include <exception>
#include <iostream>

#include "core/keys.h"
#include "platform/qt/catch_book_window.h"
#include "platform/qt/help_window.h"
#include "platform/qt/picture_cache.h"
#include "platform/qt/screen_window.h"
#include "script/state_dump.h"

namespace mogumo {

namespace {
script::Play::Options playOptions(QtHost& host, const QtHost::Options& o) {
    script::Play::Options p;
    p.clockStart = o.clockStart;
    p.realClock = o.realClock;
    p.view = &host;
    p.record = o.record;
    p.onRecord = o.onRecord;
    if (o.onDump)
        p.onDump = [onDump = o.onDump](const Game& game) { onDump(stateDump(game)); };
    if (o.book)
        p.onEvent = [book = o.book](const Game& game) { book->observe(game); };
    return p;
}
}  // namespace

QtHost::QtHost(const PictureCache& pictures, Options options)
    : pictures_(pictures), options_(std::move(options)), play_(playOptions(*this, options_)) {
    if (options_.helpUrl.isEmpty())
        options_.helpUrl = HelpWindow::urlFor(options_.language);
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { wake(); });
    // The keyboard gone to another application (or the help), the keys held
    // in a game window would never be heard going up.
    QObject::connect(qGuiApp, &QGuiApplication::focusWindowChanged, &timer_, [this](QWindow* focus) {
        const auto game = [focus](const ScreenWindow* w) { return w && w->windowHandle() == focus; };
        if (!focus || std::none_of(windows_.begin(), windows_.end(), game))
            guarded([&] {
                play_.releaseKeys();
                afterEvent();
            });
    });
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

void QtHost::start() {
    guarded([&] {
        play_.start();
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

// The game is over: its windows go, and nothing wakes it any more.
void QtHost::putAway() {
    timer_.stop();
    for (ScreenWindow* w : windows_)
        if (w)
            w->hide();
    if (help_)
        help_->hide();
    if (bookWindow_)
        bookWindow_->hide();
}

void QtHost::fail(const std::string& message) {
    failed_ = true;
    putAway();
    if (options_.onError) {
        options_.onError(message);
        return;
    }
    QMessageBox::critical(nullptr, QStringLiteral("Mogumo"),
                          qText("ゲームの中で誤りが起きました: " + message, options_.language));
    QCoreApplication::exit(1);
}

bool QtHost::input(const Input& in) {
    bool taken = false;
    guarded([&] {
        taken = play_.input(in);
        afterEvent();
    });
    return taken;
}

bool QtHost::click(FormId form, std::string_view control, int index) {
    return input({InputKind::Click, form, control, index});
}

void QtHost::wake() {
    ++wakes_;
    guarded([&] {
        play_.advance();
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
    return stateDump(play_.game());
}

// Whether the window shows the screen loaded now, not one put away.
bool QtHost::current(const ScreenWindow& w) const {
    const Screen* s = play_.game().screens().loaded(w.form());
    return s && s->instance() == w.instance();
}

void QtHost::windowKey(ScreenWindow& w, KeyMap::Action action, int code) {
    if (!current(w))
        return;
    // The book's key is the host's own: the game and its record never see it.
    if (code == kKeyF2) {
        if (action == KeyMap::Action::Down)
            toggleBook(&w);
        return;
    }
    if (action == KeyMap::Action::Down)
        keyDown(w.form(), code);
    else if (action == KeyMap::Action::Up)
        keyUp(w.form(), code);
}

void QtHost::screenShown(Screen& screen) {
    ScreenWindow*& slot = windows_[static_cast<size_t>(screen.id())];
    if (slot) {
        slot->detach();
        retired_.push_back(slot);
    }
    ScreenWindow::Callbacks callbacks;
    callbacks.click = [this](ScreenWindow& w, const Control& c) {
        if (current(w))
            click(w.form(), c.name, c.index);
    };
    callbacks.key = [this](ScreenWindow& w, KeyMap::Action a, int code) { windowKey(w, a, code); };
    callbacks.close = [this](ScreenWindow& w) {
        if (current(w))
            close(w.form());
    };
    slot = new ScreenWindow(screen, pictures_, std::move(callbacks), options_.language);
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
    if (!help_) {
        help_ = std::make_unique<HelpWindow>(options_.helpUrl, options_.language);
        help_->setOnClosed([this] { sideWindowClosed(); });
    }
    help_->open(desk_.helpOpening(), play_.game().screens().helpSection());
}

// Put away, the help or the book gives the keys back to the screen being played.
void QtHost::sideWindowClosed() {
    if (!play_.ended())
        desk_.helpClosed();
}

void QtHost::toggleBook(const QWidget* over) {
    if (!options_.book)
        return;
    if (bookWindow_ && bookWindow_->isVisible()) {
        bookWindow_->hide();
        return;
    }
    // Fresh from the file: another game may have landed fish since.
    options_.book->load();
    openBook(std::nullopt, over);
}

void QtHost::openBook(const std::optional<book::News>& news, const QWidget* over) {
    if (!bookWindow_) {
        bookWindow_ = std::make_unique<CatchBookWindow>(pictures_, options_.language);
        bookWindow_->setOnClosed([this] { sideWindowClosed(); });
    }
    bookWindow_->open(options_.book->book(), news, over);
}

void QtHost::endProgram() {
    putAway();
    if (options_.onEnd)
        options_.onEnd();
    else
        QCoreApplication::quit();
}

void QtHost::afterEvent() {
    // Windows of unloaded screens go once the event (and any signal of their
    // own buttons still on the stack) is over and what replaces them is painted.
    for (ScreenWindow* w : retired_) desk_.retire(w);
    retired_.clear();
    if (const auto& stop = play_.replayStopped(); stop && !stopSaid_) {
        stopSaid_ = true;
        if (const std::string why = stop->message(); !why.empty())
            std::cerr << "mogumo: the replay stopped at " << why << '\n';
    }
    if (play_.ended() || failed_)
        return;
    for (ScreenWindow* w : windows_)
        if (w)
            w->sync();
    // The results of a game that brought news are followed by the book.
    if (options_.book)
        if (const std::optional<book::News> news = options_.book->takeNews(play_.game()))
            openBook(news, desk_.helpOpening());
    rearm();
    if (options_.afterEvent)
        options_.afterEvent();
}

// Sleeps until the play has something to do.
void QtHost::rearm() {
    const std::optional<uint64_t> next = play_.nextWake();
    if (!next) {
        timer_.stop();
        wakeAt_.reset();
        return;
    }
    const uint64_t real = play_.realMs();
    const uint64_t delay = std::min<uint64_t>(*next > real ? *next - real : 0, 1u << 30);
    wakeAt_ = real + delay;
    timer_.start(static_cast<int>(delay));
}

}  // namespace mogumo
