#pragma once

#include <QTimer>
#include <QUrl>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/game.h"
#include "core/game_clock.h"
#include "core/host.h"
#include "platform/qt/key_map.h"
#include "platform/qt/window_desk.h"
#include "script/book_keeper.h"
#include "script/play.h"
#include "ui/texts/english.h"

namespace mogumo {

class CatchBookWindow;
class HelpWindow;
class PictureCache;
class ScreenWindow;

// The real game's host: Qt's events become inputs of the played game
// (script::Play), and each shown screen a window; F1 help, the end of the
// program. One precise single-shot QTimer wakes the play when it has
// something to do.
class QtHost : public Host {
public:
    using RealClock = GameClock::RealClock;
    static constexpr uint64_t kStallMs = GameClock::kStallMs;

    struct Options {
        // Real time; by default a steady clock.
        RealClock realClock;
        // The tick counter's reading at program start.
        uint32_t clockStart = kDefaultClock;
        // The language the windows, the help and the messages are shown in;
        // the game itself, its dumps and records stay Japanese.
        Language language = Language::Japanese;
        // By default the help page in `language`.
        QUrl helpUrl;
        // What ending the program does; by default the application quits.
        std::function<void()> onEnd;
        // What an error inside the game does (after the windows are put
        // away); by default a message box, then the application quits with 1.
        std::function<void(const std::string&)> onError;
        // Called after every event the host dispatched (for measurements).
        std::function<void()> afterEvent;
        // The game as it is played, as a simulator script (see script::Play):
        // handed to `onRecord` as it is written, or kept for play().record().
        bool record = false;
        std::function<void(const std::string& lines)> onRecord;
        // A watched game's dumps, as the simulator writes them.
        std::function<void(const std::string& state)> onDump;
        // The player's catch book, or none. F2 opens and closes it on any
        // screen, the game never hearing of the key; a game that brought news
        // is followed by it, the changed rows marked.
        book::BookKeeper* book = nullptr;
    };

    // The pictures must be loaded.
    QtHost(const PictureCache& pictures, Options options);
    ~QtHost() override;
    QtHost(const QtHost&) = delete;
    QtHost& operator=(const QtHost&) = delete;

    script::Play& play() { return play_; }
    Game& game() { return play_.game(); }
    ScreenSet& screens() { return play_.game().screens(); }
    // A recorded game plays itself from the start on (see script::Play::watch);
    // what went wrong with it is said on standard error.
    void watch(std::unique_ptr<script::LineReader> script) { play_.watch(std::move(script)); }
    void start();

    // Input events, refused (false) unless the game takes them.
    bool click(FormId form, std::string_view control, int index = -1);
    bool keyDown(FormId form, int keyCode) { return input({InputKind::KeyDown, form, {}, -1, keyCode}); }
    bool keyUp(FormId form, int keyCode) { return input({InputKind::KeyUp, form, {}, -1, keyCode}); }
    bool close(FormId form) { return input({InputKind::Close, form}); }

    // Runs what is due by the real time now (the wake of the QTimer).
    void wake();
    // The real time (on the realClock) of the next wake; nullopt when idle.
    std::optional<uint64_t> nextWakeAt() const;
    uint64_t wakeCount() const { return wakes_; }

    // The game clock; its low 32 bits are the tick counter.
    uint64_t gameNow() const { return play_.game().now(); }
    // The state dump, as the simulator writes it.
    std::string dump() const;

    // The window of a shown screen, nullptr when there is none.
    ScreenWindow* window(FormId form) const;
    HelpWindow* helpWindow() const { return help_.get(); }
    CatchBookWindow* bookWindow() const { return bookWindow_.get(); }
    // Opens the catch book, fresh from its file, or puts it away.
    void toggleBook(const QWidget* over = nullptr);
    const WindowDesk& desk() const { return desk_; }
    int helpRequests() const { return play_.game().helpRequests(); }

    // Host
    void screenShown(Screen& screen) override;
    void screenEnabledChanged(Screen& screen) override;
    void screenUnloaded(Screen& screen) override;
    void showHelp() override;
    void endProgram() override;

private:
    bool input(const Input& input);
    template <class Work>
    void guarded(Work&& work);
    void putAway();
    void fail(const std::string& message);
    void windowKey(ScreenWindow& w, KeyMap::Action action, int code);
    bool current(const ScreenWindow& w) const;
    void afterEvent();
    void rearm();

    const PictureCache& pictures_;
    Options options_;
    QTimer timer_;
    std::optional<uint64_t> wakeAt_;  // on the real clock
    uint64_t wakes_ = 0;
    bool failed_ = false;
    bool stopSaid_ = false;
    std::array<ScreenWindow*, kFormCount> windows_{};
    WindowDesk desk_{windows_};
    std::vector<ScreenWindow*> retired_;
    std::unique_ptr<HelpWindow> help_;
    std::unique_ptr<CatchBookWindow> bookWindow_;
    void openBook(const std::optional<book::News>& news, const QWidget* over);
    void sideWindowClosed();
    script::Play play_;  // last: its screens talk to everything above
};

}  // namespace mogumo
