#pragma once

#include <QMargins>
#include <QPointer>
#include <QTimer>
#include <array>
#include <optional>
#include <vector>

#include "core/layout.h"

namespace mogumo {

class ScreenWindow;

// Keeps the game's windows where a player expects them: the lower window of
// each stacked pair right under the upper one's frame, and the keyboard with
// the screen being played, with or without a window manager.
class WindowDesk {
public:
    using Windows = std::array<ScreenWindow*, kFormCount>;

    explicit WindowDesk(const Windows& windows);
    ~WindowDesk();
    WindowDesk(const WindowDesk&) = delete;
    WindowDesk& operator=(const WindowDesk&) = delete;

    // Before a window is shown: moves the lower window of a pair under the
    // upper one, by the frames learnt so far, so that it never jumps.
    void place(ScreenWindow& w);
    // After a window is shown: a screen that can be played takes the keys.
    void opened(ScreenWindow& w);
    // Before a window goes: the keys pass to the screen still playable.
    void closing(const ScreenWindow& w);
    // A screen was enabled or disabled.
    void enabledChanged();
    // The window of a screen that is gone (detached): it stays on the screen
    // until the windows shown with it have been painted, so that no frame
    // shows the desktop between two scenes; then it goes.
    void retire(ScreenWindow* w);

    // The help viewer opens and closes over the screen that has the keys.
    ScreenWindow* helpOpening();
    void helpClosed();

    // The frames the window system puts round the game's windows, in device
    // pixels, once a window has been on the desktop long enough to show them.
    std::optional<QMargins> frames() const { return frames_; }

    // The window that has, or should have, the keyboard.
    ScreenWindow* keyWindow() const;

private:
    void learnFrames();
    bool allPainted() const;
    void releaseRetired();
    void giveKeys(ScreenWindow* w);
    static bool playable(const ScreenWindow* w);

    const Windows& windows_;
    std::optional<QMargins> frames_;
    QPointer<ScreenWindow> keys_;        // the screen given the keys last
    QPointer<ScreenWindow> beforeHelp_;  // the one that had them when help opened
    std::vector<ScreenWindow*> retired_;
    QTimer giveUp_;  // a window that never gets painted holds nothing up for long
};

}  // namespace mogumo
