#pragma once

namespace mogumo {

// The key codes the game knows, as the platform numbers them (a browser's
// legacy keyCode gives the same numbers).
inline constexpr int kKeyShift = 16;
inline constexpr int kKeyEnd = 35;
inline constexpr int kKeyK = 75;  // the lure screen's hidden interest boost
inline constexpr int kKeyF1 = 112;
// The largest code an event may carry.
inline constexpr int kMaxKeyCode = 255;

}  // namespace mogumo
