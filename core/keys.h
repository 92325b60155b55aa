#pragma once

#include "core/control.h"

namespace mogumo {

// The key codes the game knows, as the platform numbers them (a browser's
// legacy keyCode gives the same numbers).
inline constexpr int kKeyShift = 16;
inline constexpr int kKeyEnd = 35;
inline constexpr int kKeyK = 75;  // the lure screen's hidden interest boost
inline constexpr int kKeyF1 = 112;
inline constexpr int kKeyF2 = 113;  // the catch book, the host's own key
inline constexpr int kKeyReturn = 13;
inline constexpr int kKeySpace = 32;
inline constexpr int kKeyDown = 40;
// The largest code an event may carry.
inline constexpr int kMaxKeyCode = 255;

// The keys a game window passes on to its screen: letters, digits, F1 to
// F12, Shift, Ctrl, Alt, End, Home, the arrows, Space, Return and Esc.
inline constexpr bool isGameKey(int code) {
    return (code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9') || (code >= kKeyF1 && code <= 123) ||
           (code >= kKeyShift && code <= 18) || (code >= kKeyEnd && code <= kKeyDown) || code == kKeySpace ||
           code == kKeyReturn || code == 27;
}

// Keys a focused control uses itself rather than its screen: Return and Space
// press a button or stay with a text box; End, Home and the arrows scroll a
// text box.
inline constexpr bool controlKeepsKey(ControlKind kind, int code) {
    if (code == kKeyReturn || code == kKeySpace)
        return kind == ControlKind::Button || kind == ControlKind::TextBox;
    return kind == ControlKind::TextBox && code >= kKeyEnd && code <= kKeyDown;
}

}  // namespace mogumo
