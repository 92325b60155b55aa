#include "core/step_gate.h"

#include "core/game_state.h"

namespace mogumo {

bool StepGate(GameState& state, uint32_t now) {
    if (!stepDue(now, state.LastTick))
        return false;
    state.LastTick = static_cast<int32_t>(now);
    return true;
}

}  // namespace mogumo
