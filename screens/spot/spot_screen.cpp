#include "screens/spot/spot_screen.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "core/screen_set.h"
#include "screens/title/picture_store.h"
#include "ui/layouts/layouts.h"

namespace mogumo {

SpotScreen::SpotScreen(ScreenSet& screens)
    : Screen(screens, layoutOf(kId)), Text1_(ctl("Text1")), Image1_(ctl("Image1")) {
    on(ctl("Command1", 0), [this] { Command1_Click(0); });
    on(ctl("Command1", 1), [this] { Command1_Click(1); });
    on(ctl("Command2"), [this] { Command2_Click(); });
    on(ctl("Timer1"), [this] { Timer1_Timer(); });
}

void SpotScreen::basyo() {
    GameState& s = state();
    if (s.SpotIndex < 0 || s.SpotIndex >= static_cast<int32_t>(kSpots.size()))
        throw std::out_of_range("SpotIndex " + std::to_string(s.SpotIndex) + " is outside the spot table");
    const Spot& spot = kSpots[static_cast<size_t>(s.SpotIndex)];
    s.SpotName = spot.name;
    s.SpotSize = spot.size;
    s.PlayerLife = spot.life;
    s.SpeciesCount = spot.speciesCount;
    Text1_.text = "つり場所：" + s.SpotName + s.NewLine + "広さ：" + std::to_string(s.SpotSize) +
                  "Ｍ  残ＨＰ：" + std::to_string(s.PlayerLife) + s.NewLine + "種類：" +
                  std::to_string(s.SpeciesCount) + "種類";
}

// "＜＜＜" (0) and "＞＞＞" (1) stop at the ends; they do not wrap around.
void SpotScreen::Command1_Click(int index) {
    GameState& s = state();
    s.SpotIndex = std::clamp(s.SpotIndex + index * 2 - 1, 0, 3);
    basyo();
}

// "決定！": the spot is whatever the last basyo wrote.
void SpotScreen::Command2_Click() {
    screens().unload(kId);
    screens().show(FormId::Form5);
}

// One step of the waves and the angler (behind the step gate).
void SpotScreen::Timer1_Timer() {
    ToggleAnimFrame(state());
    auto& store = screens().get<PictureStore>();
    setPicture(Image1_, store.kao(state().AnimFrame));
    for (int i = 0; i <= 4; ++i) setPicture(ctl("utuse", i), store.nami(state().AnimFrame));
}

}  // namespace mogumo
