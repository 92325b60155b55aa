#include "core/game_state.h"

#include <cstdlib>

namespace mogumo {

void ToggleAnimFrame(GameState& state) {
    state.AnimFrame = std::abs(state.AnimFrame - 1);
}

}  // namespace mogumo
