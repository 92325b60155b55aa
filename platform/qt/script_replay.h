#pragma once

#include <QTimer>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mogumo {

class QtHost;

// A recorded game (a simulator script) played back in the real windows at
// real speed: `run` lets real time pass with the timers running, `wait`
// jumps the clock, inputs are sent when their time comes, `dump` writes the
// state. The game clock never runs ahead of the script, so the windows end in
// the very state the simulator reaches. When the script is over, the game
// stands still until the player closes it.
class ScriptReplay {
public:
    struct Command {
        int line;
        std::string verb;
        std::string target;  // SCREEN or SCREEN.CONTROL
        uint64_t number = 0;
    };
    struct Plan {
        uint32_t clockStart = 100000;
        std::vector<Command> commands;
    };

    // Reads a script and checks that it plays to its end in the simulator.
    // Returns "line N: reason" for the first line that cannot, or an empty
    // string.
    static std::string read(std::string_view script, Plan& plan);

    // Holds the game's clock until start(). `onDump` gets each dump.
    ScriptReplay(QtHost& host, Plan plan, std::function<void(const std::string&)> onDump);

    // Plays the script, from the host's start on.
    void start() { step(); }
    bool finished() const { return next_ >= plan_.commands.size() && !runEnd_; }

private:
    void step();
    bool execute(const Command& c);

    QtHost& host_;
    Plan plan_;
    std::function<void(const std::string&)> onDump_;
    size_t next_ = 0;
    std::optional<uint64_t> runEnd_;  // the game time the current `run` ends at
    QTimer timer_;
};

}  // namespace mogumo
