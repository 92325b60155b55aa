#pragma once

namespace mogumo {

class Screen;
struct Input;

// What a host (the desktop game, the simulator, the browser page) does with
// the game: it presents the screens and stands for the world outside. Core
// runs the game and its clock; a host hears of windows coming and going and
// decides only when time moves on. Every call has a default that does
// nothing, so a game with no presentation needs no host at all.
class Host {
public:
    virtual ~Host() = default;

    // Window life: a screen was shown, enabled or disabled, or unloaded (the
    // object stays valid until the event that unloaded it has been handled).
    virtual void screenShown(Screen&) {}
    virtual void screenEnabledChanged(Screen&) {}
    virtual void screenUnloaded(Screen&) {}

    // The game takes an input; its handler runs next.
    virtual void inputTaken(const Input&) {}
    // F1 asked for the help document.
    virtual void showHelp() {}
    // "THE END" or a close box: the program is over.
    virtual void endProgram() {}
};

}  // namespace mogumo
