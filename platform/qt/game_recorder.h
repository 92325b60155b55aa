#pragma once

#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace mogumo {

// Writes the record of the game being played (see script::Play) to a file.
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
    std::string open(const std::string& path);

    // Told once, from the writing thread, the moment a write fails; the game
    // goes on, and nothing more is written.
    void setOnFailure(std::function<void(const std::string&)> onFailure) {
        onFailure_ = std::move(onFailure);
    }

    // Whole lines of the record, written in the order they come.
    void write(const std::string& text);

    // Writes what is pending and closes the file; returns a message naming
    // the problem when anything could not be written, or an empty string.
    std::string finish();

private:
    void writer();

    std::string path_;

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
