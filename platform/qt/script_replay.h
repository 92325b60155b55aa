#pragma once

#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "script/command.h"
#include "script/line_reader.h"

namespace mogumo {

class QtHost;

// A recorded game (a simulator script) played back in the real windows at
// real speed: `run` lets real time pass with the timers running, `wait`
// jumps the clock, inputs are sent when their time comes, `dump` writes the
// state. The game clock never runs ahead of the script, so the windows end in
// the very state the simulator reaches. When the script is over, the game
// stands still until the player closes it. The script is read a line at a
// time as the game goes, so its length costs no memory.
class ScriptReplay {
public:
    // Runs the script at `path` (its name taken byte for byte) in the
    // simulator to check that it plays to its end, keeping nothing but the
    // start clock. Returns "line N: reason" for the first line that cannot,
    // a sentence naming the problem when the file cannot be read, or an empty
    // string.
    static std::string check(const std::string& path, uint32_t& clockStart);

    // Holds the game's clock until start(). `onDump` gets each dump.
    ScriptReplay(QtHost& host, const std::string& path, std::function<void(const std::string&)> onDump);
    ~ScriptReplay();

    // Plays the script, from the host's start on.
    void start() { step(); }
    bool finished() const { return finished_ && !runEnd_; }

private:
    void step();
    std::optional<script::Command> nextCommand();
    bool execute(const script::Command& c);

    QtHost& host_;
    int fd_ = -1;
    std::unique_ptr<script::LineReader> reader_;
    std::function<void(const std::string&)> onDump_;
    bool finished_ = false;
    std::optional<uint64_t> runEnd_;  // the game time the current `run` ends at
    QTimer timer_;
};

}  // namespace mogumo
