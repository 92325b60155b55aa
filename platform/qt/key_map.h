#pragma once

class QKeyEvent;

namespace mogumo {

// Qt keys to the Windows virtual-key codes the screens handle.
class KeyMap {
public:
    // -1 for a key the game has no code for.
    static int virtualKey(int qtKey);

    // What a key event means to the game: a key-down, a key-up or nothing.
    // Held keys repeat as key-downs only; the releases of repeats are dropped.
    enum class Action { None, Down, Up };
    struct Mapped {
        Action action = Action::None;
        int code = -1;
    };
    static Mapped map(const QKeyEvent& event);
};

}  // namespace mogumo
