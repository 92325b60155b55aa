#include "platform/qt/game_recorder.h"

#include <cerrno>
#include <cstring>

namespace mogumo {

GameRecorder::~GameRecorder() {
    finish();
}

std::string GameRecorder::open(const std::string& path) {
    finish();
    path_ = path;
    error_.clear();
    closing_ = false;
    errno = 0;
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_)
        return "cannot write the record " + path + ": " + std::strerror(errno);
    thread_ = std::thread([this] { writer(); });
    return {};
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
        std::string failure;
        if (!batch.empty() && error_.empty() &&
            (std::fwrite(batch.data(), 1, batch.size(), file_) != batch.size() || std::fflush(file_) != 0))
            failure = "cannot write the record " + path_ + ": " + std::strerror(errno);
        if (!failure.empty() && onFailure_)
            onFailure_(failure);
        lock.lock();
        if (!failure.empty())
            error_ = failure;
        if (last && queued_.empty())
            return;
    }
}

std::string GameRecorder::finish() {
    if (!file_)
        return {};
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
