#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace mogumo {

// The one record of game-wide variables that every screen reads and writes.
// Fields are in the game's declaration order; texts are UTF-8.
struct GameState {
    static constexpr int kCatchLogLines = 101;

    int32_t SpotIndex = 0;
    int32_t SpotSize = 0;
    int32_t SpeciesCount = 0;
    int32_t PlayerLife = 0;
    std::string SpotName;
    std::string NewLine;
    int32_t AnimFrame = 0;
    int32_t LureDistance = 0;
    int32_t ReelSpeed = 0;
    int32_t FishInterest = 0;
    int32_t SecretPoints = 0;
    int32_t BoostUses = 0;
    int32_t SpeciesIndex = 0;
    int32_t FishWeight = 0;
    int32_t FishLength = 0;
    std::string FishName;
    std::array<std::string, kCatchLogLines> CatchLog;
    std::array<int32_t, 3> CatchTotals{};
    int32_t LastTick = 0;
};

// AnimFrame becomes |AnimFrame - 1|: 0 and 1 swap.
void ToggleAnimFrame(GameState& state);

}  // namespace mogumo
