#pragma once

#include <array>

#include "core/screen.h"

namespace mogumo {

// Form3: browse the four fishing spots and pick one.
class SpotScreen : public Screen {
public:
    static constexpr FormId kId = FormId::Form3;
    explicit SpotScreen(ScreenSet& screens);

    void Form_Load() override { basyo(); }

    // Writes the shown spot's parameters into the game state and the text box.
    void basyo();

private:
    void Command1_Click(int index);
    void Command2_Click();
    void Timer1_Timer();

    Control& Text1_;
    Control& Image1_;
};

struct Spot {
    std::string_view name;
    int32_t size;  // metres
    int32_t life;
    int32_t speciesCount;
};

inline constexpr std::array<Spot, 4> kSpots{{
    {"池", 500, 2000, 5},
    {"河", 1000, 5000, 10},
    {"巨大釣り堀", 2000, 7000, 20},
    {"海", 4000, 10000, 40},
}};

}  // namespace mogumo
