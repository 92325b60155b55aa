#pragma once

#include <cstdint>
#include <string>

#include "core/screen_set.h"

namespace mogumo {

// The state dump: one line of JSON with the clock, the game state and every
// loaded screen's variables and controls. Any host can write it, so the real
// game can be compared with the simulator.
std::string stateDump(const ScreenSet& screens, uint32_t now, int helpShown);

}  // namespace mogumo
