#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/game.h"
#include "core/game_clock.h"
#include "core/host.h"
#include "script/command.h"
#include "script/line_reader.h"
#include "script/record_writer.h"

namespace mogumo::script {

// Draws a screen's client area into a PNG file; returns an error message, or
// an empty string on success.
using ShotRenderer = std::function<std::string(const Screen&, const std::string& path)>;

// Why a watched game stopped playing itself.
struct ReplayStop {
    enum class Why { ScriptOver, GameOver, Refused };
    Why why = Why::ScriptOver;
    size_t line = 0;       // the line that was refused or could not be read
    std::string reason{};  // why

    // "line N: reason" for a line that could not be carried out or read, as
    // mogumo-sim says it; empty when the script or the game came to its end.
    std::string message() const;
};

// The game as it is played, the same for every host: the desktop game, the
// browser page, mogumo-sim and the tests. It holds the Game, the GameClock,
// the record of the game and, while a recorded game is watched, the place the
// replay has reached. A host only turns its window system's events into the
// inputs below, draws what the game shows (as the game's Host) and wakes the
// play when nextWake says.
//
// Time: live input and wakes first run the ticks due by the real time now
// (see GameClock); a script's `run` moves the game clock at once, or, while
// watching, lets real time pass with the timers running.
class Play : private Host {
public:
    struct Options {
        // The tick counter's reading at program start.
        uint32_t clockStart = kDefaultClock;
        // Real time; by default a steady clock.
        GameClock::RealClock realClock;
        // Presents the game: windows shown and put away, help, the end.
        Host* view = nullptr;
        // Keeps the game as a script that mogumo-sim replays exactly (see
        // RecordWriter), with a `dump` at each hand-over between screens and
        // at the end. With `onRecord`, its lines are handed out as they are
        // written; without, they are kept for record().
        bool record = false;
        std::function<void(const std::string& lines)> onRecord;
        // A script's `dump` and `shot`; without a renderer, `shot` is refused
        // (a watched game draws none).
        std::function<void(const Game&)> onDump;
        ShotRenderer shot;
        // Looks at the game after every input, advance and script line, with
        // or without a record (the catch book watches the landings so). It
        // must not change the game.
        std::function<void(const Game&)> onEvent;
    };

    explicit Play(Options options);
    ~Play() override;
    Play(const Play&) = delete;
    Play& operator=(const Play&) = delete;

    // Program start: the title screen is shown. While watching, the script
    // starts at the next wake.
    void start();

    Game& game() { return game_; }
    const Game& game() const { return game_; }
    bool ended() const { return game_.ended(); }

    // Carries out one script line now. A line that cannot be carried out
    // changes nothing and throws ScriptError. `clock` is refused: a game
    // starts at its clock (Options::clockStart).
    void apply(const Command& command);

    // Live input at the real time now: the ticks due by then run first, and
    // the input is recorded and carried out when the game takes it (false
    // when it does not). While a recorded game is watched, the player's
    // input is refused but for F1, which still opens the help, and the close
    // box.
    bool input(const Input& input);
    // The player's keys still held go up now, each recorded as its key-up:
    // the host lost the keyboard (another application, a hidden page) and
    // will not hear them let go.
    void releaseKeys();

    // Watches the recorded game `script` play itself (its leading `clock`, if
    // any, is the game's clockStart): `run` lets real time pass with the
    // timers running, `wait` jumps the clock, inputs are sent when their time
    // comes. The game clock never runs ahead of the script, so the game ends
    // in the very state mogumo-sim reaches. When the script is over the game
    // stands still.
    void watch(std::unique_ptr<LineReader> script);
    bool watching() const { return replay_ != nullptr; }
    // Set once the watched game has stopped playing itself.
    const std::optional<ReplayStop>& replayStopped() const { return stop_; }

    // Runs what is due by the real time now: every tick due, or after a
    // stall the time lost (see GameClock), or the replay's next lines.
    void advance();
    // The real time (on Options::realClock) at which advance has something
    // to do; nullopt when nothing happens without input.
    std::optional<uint64_t> nextWake() const;
    uint64_t realMs() const { return clock_.realMs(); }

    // The record so far; a game still going ends in a dump of its state now.
    std::string record() const;
    // Hands out the time held back (at the end of the program).
    void finishRecord();

private:
    // Host: what the game tells its presenter passes on; the play keeps the
    // inputs taken and the end in the record.
    void screenShown(Screen& screen) override;
    void screenEnabledChanged(Screen& screen) override;
    void screenUnloaded(Screen& screen) override;
    void inputTaken(const Input& input) override;
    void showHelp() override;
    void endProgram() override;

    void catchUp();
    void stepReplay();
    void afterEvent();
    void recordDump();
    void handOut();
    unsigned shownScreens() const;

    Options options_;
    Host& view_;
    GameClock clock_;
    std::optional<RecordWriter> record_;
    std::unique_ptr<LineReader> replay_;
    std::optional<uint64_t> runEnd_;  // the game time the replay's current `run` ends at
    std::optional<ReplayStop> stop_;
    unsigned shown_ = 0;                        // the screens shown after the last event, as bits
    std::vector<std::pair<FormId, int>> held_;  // keys the game took down and not yet up
    Game game_;                                 // last: its screens talk to everything above
};

}  // namespace mogumo::script
