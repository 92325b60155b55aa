#pragma once

#include <cstdint>

namespace mogumo {

struct GameState;
class Host;

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

// Reads the tick counter; when a step is due, reads it again into LastTick and
// returns true.
bool StepGate(GameState& state, Host& host);

}  // namespace mogumo
