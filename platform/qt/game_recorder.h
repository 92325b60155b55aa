#pragma once

#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "script/command.h"
#include "script/record_writer.h"

namespace mogumo {

// Writes the game being played to a file as a script for mogumo-sim (see
// script::RecordWriter), with a `dump` at each hand-over between screens and
// at the end, so a replay can be checked against it.
//
// The file is written by a thread of its own: play never waits for the disk.
// Each write is whole lines, flushed at once, so a game killed half way
// leaves a record that replays up to its last line.
class GameRecorder {
public:
    GameRecorder() = default;
    ~GameRecorder();
    GameRecorder(const GameRecorder&) = delete;
    GameRecorder& operator=(const GameRecorder&) = delete;

    // Creates or empties the file (its name taken byte for byte); returns a
    // message naming the problem, or an empty string.
    std::string open(const std::string& path, uint32_t clockStart);

    // Told once, from the writing thread, the moment a write fails; the game
    // goes on, and nothing more is written.
    void setOnFailure(std::function<void(const std::string&)> onFailure) {
        onFailure_ = std::move(onFailure);
    }

    // Time passed: `run` with the timers running, `wait` lost in a stall.
    void time(script::Verb verb, uint64_t ms);
    // An input event's command; the time before it is written first.
    void input(const script::Command& command);
    void dump(const std::string& state);

    // Writes what is pending and closes the file; returns a message naming
    // the problem when anything could not be written, or an empty string.
    std::string finish();

private:
    void write(const std::string& text);
    void writer();

    std::string path_;
    std::optional<script::RecordWriter> lines_;  // while the file is open

    std::FILE* file_ = nullptr;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wakeWriter_;
    std::string queued_;
    bool closing_ = false;
    std::string error_;
    std::function<void(const std::string&)> onFailure_;
};

}  // namespace mogumo
