#include "platform/qt/window_desk.h"

#include <QWindow>

#include "core/screen.h"
#include "platform/qt/screen_window.h"
#include "platform/qt/window_frames.h"
#include "platform/qt/window_placement.h"

namespace mogumo {

namespace {
// How long a retired window waits at most for its successors' first paint.
constexpr int kRetireWaitMs = 300;
}  // namespace

WindowDesk::WindowDesk(const Windows& windows) : windows_(windows) {
    giveUp_.setSingleShot(true);
    QObject::connect(&giveUp_, &QTimer::timeout, &giveUp_, [this] { releaseRetired(); });
}

WindowDesk::~WindowDesk() {
    for (ScreenWindow* w : retired_) delete w;
}

bool WindowDesk::allPainted() const {
    for (const ScreenWindow* w : windows_)
        if (w && w->screen() && w->isVisible() && !w->hasBeenPainted())
            return false;
    return true;
}

void WindowDesk::retire(ScreenWindow* w) {
    retired_.push_back(w);
    if (!giveUp_.isActive())
        giveUp_.start(kRetireWaitMs);
    // Nothing new to wait for (the lure came back, say): it goes at once.
    QTimer::singleShot(0, &giveUp_, [this] {
        if (allPainted())
            releaseRetired();
    });
}

void WindowDesk::releaseRetired() {
    giveUp_.stop();
    for (ScreenWindow* w : retired_) {
        w->hide();
        w->deleteLater();
    }
    retired_.clear();
}

bool WindowDesk::playable(const ScreenWindow* w) {
    return w && w->screen() && w->isVisible() && w->screen()->playable();
}

ScreenWindow* WindowDesk::keyWindow() const {
    if (playable(keys_))
        return keys_;
    for (ScreenWindow* w : windows_)
        if (playable(w))
            return w;
    return nullptr;
}

void WindowDesk::learnFrames() {
    if (frames_)
        return;
    // A window's frame is known for sure once it is on the desktop: a
    // window manager frames a window before it maps it.
    for (ScreenWindow* w : windows_) {
        const QWindow* h = w && w->isVisible() ? w->windowHandle() : nullptr;
        if (h && h->isExposed()) {
            frames_ = deviceFrameMargins(*h);
            return;
        }
    }
}

void WindowDesk::place(ScreenWindow& w) {
    w.whenFirstPainted([this] {
        if (!retired_.empty() && allPainted())
            releaseRetired();
    });
    learnFrames();
    const std::optional<FormId> upper = WindowPlacement::upperOf(w.form());
    if (!upper || !frames_)
        return;
    const ScreenWindow* u = windows_[static_cast<size_t>(*upper)];
    const QRect upperClient = u && u->screen() ? u->geometry() : WindowPlacement::laidOutClient(*upper);
    const QRect laidOut = WindowPlacement::laidOutClient(w.form());
    const QPoint at = WindowPlacement::stackedClientPos(upperClient, laidOut.topLeft(), *frames_, *frames_,
                                                        w.devicePixelRatioF());
    // A top-level widget's geometry is its client area.
    w.setGeometry(QRect(at, laidOut.size()));
}

void WindowDesk::giveKeys(ScreenWindow* w) {
    keys_ = w;
    if (!w)
        return;
    // Without a window manager nobody else hands a window the keyboard.
    w->activateWindow();
}

void WindowDesk::opened(ScreenWindow& w) {
    // A window system that activates a window that must not have the keys
    // (a disabled screen or the splash, clicked) gets them taken back at once.
    if (QWindow* handle = w.windowHandle())
        QObject::connect(handle, &QWindow::activeChanged, &w, [this, &w, handle] {
            if (handle->isActive() && !playable(&w))
                if (ScreenWindow* keys = keyWindow())
                    giveKeys(keys);
        });
    if (playable(&w))
        giveKeys(&w);
}

void WindowDesk::closing(const ScreenWindow& w) {
    learnFrames();
    if (keys_ != &w)
        return;
    keys_ = nullptr;
    for (ScreenWindow* other : windows_)
        if (other != &w && playable(other)) {
            giveKeys(other);
            return;
        }
}

void WindowDesk::enabledChanged() {
    if (!playable(keys_))
        giveKeys(keyWindow());
}

ScreenWindow* WindowDesk::helpOpening() {
    return keyWindow();
}

void WindowDesk::helpClosed() {
    giveKeys(keyWindow());
}

}  // namespace mogumo
