#include "platform/qt/window_desk.h"

#include <QWindow>

#include "platform/qt/screen_window.h"
#include "platform/qt/window_frames.h"
#include "platform/qt/window_placement.h"

namespace mogumo {

bool WindowDesk::playable(const ScreenWindow* w) {
    return w && w->screen() && w->isVisible() && w->isEnabled() && ScreenWindow::takesKeys(w->form());
}

ScreenWindow* WindowDesk::keyWindow() const {
    if (playable(keys_))
        return keys_;
    // At most one screen can be played at a time; the others are disabled,
    // the splash never takes the keys.
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
