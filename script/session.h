#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

#include "core/game.h"
#include "core/json_writer.h"
#include "script/command.h"
#include "script/line_reader.h"
#include "script/play.h"

namespace mogumo::script {

// One run of a script on a game with no windows and a virtual clock, fed a
// command at a time. The program starts before the first command, at the
// clock of a leading `clock`.
class ScriptSession {
public:
    struct Options {
        // `shot` draws with it; without one, `shot` is refused.
        ShotRenderer shot;
        // Each dump is flushed as it is written (for a reader at a pipe).
        bool flushEachDump = false;
        // Called with each game the session starts, before anything else.
        std::function<void(Game&)> onStart;
        // Looks at the game after every line (see Play::Options::onEvent).
        std::function<void(const Game&)> onEvent;
    };

    explicit ScriptSession(std::ostream& out) : ScriptSession(out, Options{}) {}
    ScriptSession(std::ostream& out, Options options);
    ~ScriptSession();
    ScriptSession(const ScriptSession&) = delete;
    ScriptSession& operator=(const ScriptSession&) = delete;

    // Carries out one command. A command that cannot be carried out changes
    // nothing and throws ScriptError; a dump that cannot be written throws
    // std::ios_base::failure.
    void run(const Command& command);

    // Reads and carries out one line, its line break removed. A line that
    // cannot be carried out changes nothing; the result is false and
    // `reason` says why.
    bool runLine(std::string_view line, std::string& reason);

    // The running game; starts the program when no command has yet, and a
    // `clock` line is refused from then on.
    Game& game();

private:
    Play& begin(uint32_t clock);

    std::ostream& out_;
    Options options_;
    std::unique_ptr<Play> play_;
    JsonWriter dump_;
    bool first_ = true;
};

// Runs a script line by line until its end or its first line that cannot be
// carried out. Dumps go to `out` as their lines run. Returns 0 when every line
// ran, or 2 with "line N: reason" in `error`. A read error passes through as
// std::system_error, and an error inside the game itself as what it threw.
int runScript(LineReader& in, std::ostream& out, std::string& error,
              ScriptSession::Options options = ScriptSession::Options{});
int runScript(std::string_view script, std::ostream& out, std::string& error,
              ScriptSession::Options options = ScriptSession::Options{});

// Checks that a script plays to its end on a game with no windows, before it
// is watched: its dumps go nowhere, its shots write nothing, and nothing is
// kept but the clock the game starts at. Returns "line N: reason", "the game
// failed: ..." or an empty string; a read error passes through as
// std::system_error.
std::string checkScript(LineReader& in, uint32_t& clockStart);

// A recorded game in a file, checked (see checkScript) and opened to be
// watched (see Play::watch).
struct RecordedGame {
    enum class Fault { None, Unreadable, Unplayable };
    Fault fault = Fault::None;
    std::string problem;  // names the file and what is wrong with it
    uint32_t clockStart = kDefaultClock;
    std::unique_ptr<LineReader> lines;  // closes the file when done
};
RecordedGame openRecordedGame(const std::string& path);

}  // namespace mogumo::script
