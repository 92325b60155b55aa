#include "platform/qt/game_recorder.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/sim/script.h"

namespace mogumo {

GameRecorder::~GameRecorder() {
    finish();
}

std::string GameRecorder::open(const std::string& path, uint32_t clockStart) {
    finish();
    path_ = path;
    error_.clear();
    closing_ = false;
    errno = 0;
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_)
        return "cannot write the record " + path + ": " + std::strerror(errno);
    thread_ = std::thread([this] { writer(); });
    write("# A game of Mogumo, recorded as it was played. Replay it with mogumo-sim.\n");
    if (clockStart != 100000)
        write("clock " + std::to_string(clockStart) + "\n");
    return {};
}

void GameRecorder::run(uint64_t ms) {
    if (pendingKind_ != 'r')
        flushTime();
    pendingKind_ = 'r';
    pendingMs_ += ms;
}

void GameRecorder::wait(uint64_t ms) {
    if (pendingKind_ != 'w')
        flushTime();
    pendingKind_ = 'w';
    pendingMs_ += ms;
}

void GameRecorder::flushTime() {
    const char* command = pendingKind_ == 'r' ? "run " : "wait ";
    // A script number has at most 32 bits: a longer stretch takes more lines.
    while (pendingKind_ && pendingMs_ > 0) {
        const uint64_t part = std::min(pendingMs_, kMaxScriptNumber);
        write(command + std::to_string(part) + "\n");
        pendingMs_ -= part;
    }
    pendingKind_ = 0;
    pendingMs_ = 0;
}

void GameRecorder::input(const std::string& command) {
    flushTime();
    write(command + "\n");
}

void GameRecorder::dump(const std::string& state) {
    flushTime();
    write("dump\n# state " + state + "\n");
}

void GameRecorder::write(const std::string& text) {
    if (!file_)
        return;
    {
        std::lock_guard lock(mutex_);
        queued_ += text;
    }
    wakeWriter_.notify_one();
}

void GameRecorder::writer() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wakeWriter_.wait(lock, [this] { return closing_ || !queued_.empty(); });
        std::string batch;
        batch.swap(queued_);
        const bool last = closing_;
        lock.unlock();
        if (!batch.empty() && error_.empty() &&
            (std::fwrite(batch.data(), 1, batch.size(), file_) != batch.size() || std::fflush(file_) != 0))
            error_ = "cannot write the record " + path_ + ": " + std::strerror(errno);
        lock.lock();
        if (last && queued_.empty())
            return;
    }
}

std::string GameRecorder::finish() {
    if (!file_)
        return {};
    flushTime();
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    wakeWriter_.notify_one();
    thread_.join();
    if (std::fclose(file_) != 0 && error_.empty())
        error_ = "cannot write the record " + path_ + ": " + std::strerror(errno);
    file_ = nullptr;
    return error_;
}

}  // namespace mogumo
