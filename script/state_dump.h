#pragma once

#include <cstdint>
#include <string>

#include "core/game.h"
#include "core/json_writer.h"

namespace mogumo {

// The state dump: one line of JSON with the clock, the game state and every
// loaded screen's variables and controls. Any host can write it, so the real
// game can be compared with the simulator. The writer is emptied first; one
// kept for many dumps keeps its memory.
void writeStateDump(const Game& game, JsonWriter& out);
std::string stateDump(const Game& game);

}  // namespace mogumo
