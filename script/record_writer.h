#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "script/command.h"

namespace mogumo::script {

// A game as it is played, written as a script that mogumo-sim replays
// exactly: the time between inputs as `run` (timers ran) or `wait` (time lost
// in a stall), every input as its command, and a `dump` at each point to
// compare, followed by the state the game had then as a comment line
// ("# state {...}"). Time is held back until the next line, so that a stretch
// of one kind is one line.
class RecordWriter {
public:
    // The record opens with a comment and, when the game did not start at
    // the default clock, its `clock` line.
    explicit RecordWriter(uint32_t clockStart);

    // Time passed: `run` with the timers running, `wait` lost in a stall.
    void time(Verb verb, uint64_t ms);
    // An input event's command; the time before it is written first.
    void input(const Command& command);
    void dump(const std::string& state);
    // Writes the time held back.
    void flushTime();

    // The whole lines written and not yet taken.
    std::string take();
    // Those lines, then the time held back, without taking anything.
    std::string peek() const;

private:
    static void writeTime(std::string& out, std::optional<Verb> verb, uint64_t ms);

    std::string text_;
    std::optional<Verb> pending_;  // run or wait, not yet written
    uint64_t pendingMs_ = 0;
};

}  // namespace mogumo::script
