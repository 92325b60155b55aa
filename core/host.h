#pragma once

#include <cstdint>

namespace mogumo {

class Screen;
struct Control;

// What a host (the real game or the simulator) supplies to the game: the
// millisecond tick counter, running timers, windows and the world outside.
// The game logic calls these; it never reads a clock of its own.
class Host {
public:
    virtual ~Host() = default;

    virtual uint32_t tickCount() = 0;

    // A timer of a loaded screen started or stopped running.
    virtual void timerStarted(Screen& screen, Control& timer) = 0;
    virtual void timerStopped(Screen& screen, Control& timer) = 0;

    // Window life: a screen was loaded, shown, enabled or disabled, or unloaded
    // (its timers are stopped with it; the object stays valid until the event
    // that unloaded it has been handled).
    virtual void screenLoaded(Screen& screen) = 0;
    virtual void screenShown(Screen& screen) = 0;
    virtual void screenEnabledChanged(Screen& screen) = 0;
    virtual void screenUnloaded(Screen& screen) = 0;

    virtual void showHelp() = 0;
    virtual void endProgram() = 0;
};

}  // namespace mogumo
