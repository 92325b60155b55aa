#include "platform/qt/font_setup.h"

#include <QFontDatabase>
#include <QStringList>
#include <condition_variable>
#include <mutex>
#include <thread>

#ifdef MOGUMO_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace mogumo {

namespace {

class Reader {
public:
    ~Reader() { finish(); }

    // Once a process, and only before release().
    void start() {
        {
            std::lock_guard lock(mutex_);
            if (started_ || released_)
                return;
            started_ = true;
        }
        thread_ = std::thread([this] { run(); });
    }

    // `go`: the application is there and the font database may be filled;
    // otherwise the thread stops after fontconfig.
    void release(bool go) {
        {
            std::lock_guard lock(mutex_);
            if (released_)
                return;
            released_ = true;
            go_ = go;
        }
        ready_.notify_one();
    }

    void finish() {
        release(false);
        if (thread_.joinable())
            thread_.join();
    }

private:
    void run() {
#ifdef MOGUMO_HAVE_FONTCONFIG
        // FcInit is thread-safe and builds the configuration once.
        FcInit();
#endif
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [this] { return released_; });
        if (!go_)
            return;
        lock.unlock();
        // Every function of the font database is thread-safe; the first call
        // fills it.
        (void)QFontDatabase::families();
    }

    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable ready_;
    bool started_ = false;
    bool released_ = false;
    bool go_ = false;
};

Reader& reader() {
    static Reader r;
    return r;
}

}  // namespace

void FontSetup::begin() {
#ifdef MOGUMO_HAVE_FONTCONFIG
    reader().start();
#endif
}

void FontSetup::applicationReady() {
    reader().release(true);
}

void FontSetup::wait() {
    reader().finish();
}

}  // namespace mogumo
