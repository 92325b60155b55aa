#include "screens/cast/cast_screen.h"

#include <cmath>
#include <string>

#include "core/json_writer.h"
#include "core/screen_set.h"
#include "screens/title/picture_store.h"
#include "ui/layouts/layouts.h"

namespace mogumo {

CastScreen::CastScreen(ScreenSet& screens)
    : Screen(screens, layoutOf(kId)),
      cast_(ctl("cast")),
      Picture1_(ctl("Picture1")),
      pow2_(ctl("pow2")),
      Label1_(ctl("Label1")),
      Text1_(ctl("Text1")),
      Image1_(ctl("Image1")),
      Timer2_(ctl("Timer2")) {
    on(cast_, [this] { cast_Click(); });
    on(ctl("Timer1"), [this] { Timer1_Timer(); });
    on(Timer2_, [this] { Timer2_Timer(); });
}

// The slow two-frame animation. It bypasses the step gate, and it keeps
// flipping AnimFrame while the lure and battle screens run in front.
void CastScreen::frameChange() {
    ToggleAnimFrame(state());
    auto& store = screens().get<PictureStore>();
    setPicture(Image1_, store.kao(state().AnimFrame));
    for (int i = 0; i <= 10; ++i) setPicture(ctl("utuse", i), store.nami(state().AnimFrame));
}

void CastScreen::Form_Load() {
    frameChange();
    CastPower_ = 4;
}

// One power step (behind the step gate): 4, 8, ..., 100, then 4 again.
void CastScreen::Timer2_Timer() {
    GameState& s = state();
    CastPower_ += 4;
    if (CastPower_ > 100)
        CastPower_ = 4;
    cast_.enabled = true;
    Label1_.text = "HP:" + std::to_string(s.PlayerLife) + " stage:" + s.SpotName;
    s.FishInterest = 0;
    pow2_.width = static_cast<float>(CastPower_ / 100.0 * Picture1_.width);
}

void CastScreen::cast_Click() {
    GameState& s = state();
    setTimer(Timer2_, false);
    s.LureDistance = static_cast<int32_t>(std::lrint(CastPower_ * static_cast<double>(s.SpotSize) / 100.0));
    Text1_.text = "届いた長さは" + std::to_string(s.LureDistance) + "Ｍです";
    screens().show(FormId::Form6);
    screens().setEnabled(kId, false);
    s.ReelSpeed = 0;
}

void CastScreen::writeVars(JsonWriter& out) const {
    out.field("CastPower", CastPower_);
}

}  // namespace mogumo
