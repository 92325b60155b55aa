#pragma once

#include <cstdint>

namespace mogumo {

struct GameState;

// Steps of the animated screens run at most once per 50 ms, shared through
// LastTick. The comparison is by unsigned 32-bit difference, so the tick
// counter passing 2^31 or wrapping at 2^32 never stalls or races the game.
inline constexpr uint32_t kStepMs = 50;

inline bool stepDue(uint32_t now, int32_t lastTick) {
    return static_cast<uint32_t>(now - static_cast<uint32_t>(lastTick)) > kStepMs;
}

// The first tick reading at which a step is due after a step at lastTick.
inline uint32_t firstDueTick(int32_t lastTick) {
    return static_cast<uint32_t>(lastTick) + kStepMs + 1;
}

// When a step is due at the tick reading `now`, moves LastTick there and
// returns true. The runtime calls it before every tick of a gated timer.
bool StepGate(GameState& state, uint32_t now);

}  // namespace mogumo
