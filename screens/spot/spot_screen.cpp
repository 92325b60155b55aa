#include "screens/spot/spot_screen.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "core/screen_set.h"
#include "core/step_gate.h"
#include "screens/title/picture_store.h"

namespace mogumo {

SpotScreen::SpotScreen(ScreenSet& screens)
    : Screen(screens, kId), Text1_(ctl("Text1")), Image1_(ctl("Image1")) {}

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

void SpotScreen::click(Control& button) {
    if (button.name == "Command1")
        Command1_Click(button.index);
    else if (button.name == "Command2")
        Command2_Click();
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

void SpotScreen::timerTick(Control& timer) {
    if (timer.name == "Timer1")
        Timer1_Timer();
}

void SpotScreen::Timer1_Timer() {
    if (!StepGate(state(), screens().host()))
        return;
    ToggleAnimFrame(state());
    auto& store = screens().get<PictureStore>();
    setPicture(Image1_, store.kao(state().AnimFrame));
    for (int i = 0; i <= 4; ++i) setPicture(ctl("utuse", i), store.nami(state().AnimFrame));
}

}  // namespace mogumo
