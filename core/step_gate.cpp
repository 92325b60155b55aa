#include "core/step_gate.h"

#include "core/game_state.h"
#include "core/host.h"

namespace mogumo {

bool StepGate(GameState& state, Host& host) {
    if (!stepDue(host.tickCount(), state.LastTick))
        return false;
    state.LastTick = static_cast<int32_t>(host.tickCount());
    return true;
}

}  // namespace mogumo
