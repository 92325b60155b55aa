#pragma once

#include <cstdint>
#include <random>

namespace mogumo {

// The game's one source of chance: a Mersenne Twister with its default seed,
// so every run draws the same sequence. A draw keeps the top 24 bits of the
// next output and scales them into [0, 1) as a float. Standard distributions
// are avoided on purpose: their results differ between library versions.
class RandomSource {
public:
    float draw() {
        ++draws_;
        return static_cast<float>(engine_() >> 8) * (1.0f / 16777216.0f);
    }
    uint64_t draws() const { return draws_; }

private:
    std::mt19937 engine_;
    uint64_t draws_ = 0;
};

}  // namespace mogumo
