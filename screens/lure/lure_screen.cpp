#include "screens/lure/lure_screen.h"

#include <stdexcept>
#include <string>

#include "core/json_writer.h"
#include "core/keys.h"
#include "core/screen_set.h"
#include "screens/cast/cast_screen.h"
#include "ui/layouts/layouts.h"

namespace mogumo {

namespace {
// The scene's geometry, in twips. The literals keep their types (int where
// the step adds a whole number to a float), so each step computes exactly as
// it always has.
constexpr int kRodEndX = 6585;       // the line's rod end: the lure's distance plus this
constexpr int kRodEndY = -300;       // the rod tip, above the window's top
constexpr int kReeledDrift = 50;     // how far the fish falls behind a reeled step
constexpr int kRockScroll = 200;     // the sea floor's rocks move left a reeled step
constexpr int kRockGone = -420;      // a rock past this left edge ...
constexpr int kRockWrap = 7000;      // ... comes back this far to the right
constexpr int kLureBackAt = -330;    // a lure pulled above this height has come back
constexpr int kSinkPerStep = 15;     // the lure sinks this much a step, less the reel speed
constexpr int kAboveFloor = 160;     // the lowest the lure sinks: this far above the floor
constexpr int kLineAtLureX = 230;    // where the line meets the lure picture
constexpr int kLurePoint = 165;      // the lure point, from the lure picture's corner
constexpr int kTrailOffset = 500;    // a trailing fish aims this far behind the lure
constexpr int kFishPictureX = 1265;  // the fish picture (gyo3) from the bite box (uo)
constexpr int kFishPictureY = 450;
}  // namespace

LureScreen::LureScreen(ScreenSet& screens)
    : Screen(screens, layoutOf(kId)),
      rua_(ctl("rua")),
      ito_(ctl("ito")),
      uo_(ctl("uo")),
      gyo3_(ctl("gyo3")),
      Shape1_(ctl("Shape1")),
      Text1_(ctl("Text1")),
      Label1_(ctl("Label1")),
      Timer1_(ctl("Timer1")),
      Timer2_(ctl("Timer2")),
      Timer3_(ctl("Timer3")) {
    on(Timer1_, [this] { Timer1_Timer(); });
    on(Timer2_, [this] { Timer2_Timer(); });
    on(Timer3_, [this] { Timer3_Timer(); });
    for (int i = 0; i < 2; ++i) img_[static_cast<size_t>(i)] = &ctl("img", i);
    for (int i = 0; i < 7; ++i) iwa_[static_cast<size_t>(i)] = &ctl("iwa", i);
}

// One lure step (behind the step gate).
void LureScreen::Timer1_Timer() {
    lureStep();
}

// One lure step. Positions are floats in twips, one operation at a time.
void LureScreen::lureStep() {
    GameState& s = state();

    // The rod end of the line follows the distance before this step.
    ito_.x2 = static_cast<float>(s.LureDistance + kRodEndX);
    ito_.y2 = kRodEndY;

    if (s.ReelSpeed != 0) {
        uo_.left -= kReeledDrift;
        ToggleAnimFrame(s);
        if (s.AnimFrame != 0 && s.AnimFrame != 1)
            throw std::out_of_range("AnimFrame " + std::to_string(s.AnimFrame) + " is not a lure frame");
        setPicture(rua_, img_[static_cast<size_t>(s.AnimFrame)]->picture);
        s.FishInterest += 3;
        s.LureDistance -= 1;
        for (Control* rockPtr : iwa_) {
            Control& rock = *rockPtr;
            rock.left -= kRockScroll;
            if (rock.left < kRockGone)
                rock.left += kRockWrap;
        }
    } else {
        s.FishInterest -= 1;
    }

    // The return test reads the lure's height left by the previous step.
    const bool returned = rua_.top < kLureBackAt || s.LureDistance <= 0;
    if (returned) {
        returnHandOver();
    } else {
        // Real division: 300 stays, anything above becomes 270 (90 %).
        if (s.FishInterest / 3.0 < 0)
            s.FishInterest = 0;
        if (s.FishInterest / 3.0 > 100)
            s.FishInterest = 270;

        rua_.top = rua_.top + kSinkPerStep - static_cast<float>(s.ReelSpeed);
        if (rua_.top > Shape1_.top - kAboveFloor)
            rua_.top = Shape1_.top - kAboveFloor;
        ito_.x1 = rua_.left + kLineAtLureX;
        ito_.y1 = rua_.top + kLurePoint;
        s.PlayerLife -= 1;
        writeStatus();
        sakana();
    }

    // The life test runs after a return too. The return unloaded this screen,
    // so the reference below then loads it again, hidden, to run the wait.
    if (s.PlayerLife < 1) {
        auto& self = screens().get<LureScreen>();
        self.setTimer(self.Timer1_, false);
        self.setTimer(self.Timer3_, true);
        self.Label1_.visible = true;
    }
}

void LureScreen::returnHandOver() {
    screens().setEnabled(FormId::Form5, true);
    auto& cast = screens().get<CastScreen>();
    cast.setTimer(cast.Timer2(), true);
    screens().unload(kId);
}

void LureScreen::writeStatus() {
    const GameState& s = state();
    // Written in place every step: the text keeps its buffer.
    std::string& t = Text1_.text;
    t.assign("YOUR LIFE：");
    t.append(std::to_string(s.PlayerLife)).append(" 魚の興味：");
    t.append(std::to_string(s.FishInterest / 3)).append("％").append(s.NewLine);
    t.append("岸まで").append(std::to_string(s.LureDistance)).append("M");
}

void LureScreen::sakana() {
    GameState& s = state();
    const double p = s.FishInterest / 3.0;
    const float r1 = screens().random().draw();
    const float r2 = screens().random().draw();

    if (p >= 50) {
        // Trail or chase: towards the lure's height, and sideways towards the
        // lure point (chase) or a point beside the lure (trail).
        if (rua_.top + kLurePoint > uo_.top)
            uo_.top += 30.0f * r1;
        else
            uo_.top -= 30.0f * r1;
        float target;
        float stride;
        if (p > 80) {
            target = rua_.left + kLurePoint;
            stride = 85 + 15.0f * r2;
        } else {
            target = rua_.left - kTrailOffset + kLurePoint;
            stride = 50 + 15.0f * r2;
        }
        if (target > uo_.left)
            uo_.left += stride;
        else
            uo_.left -= stride;
    } else {
        uo_.top += 50.0f * r1 - 25.0f;
        uo_.left += 50.0f * r2 - 20.0f;
    }
    gyo3_.top = uo_.top - kFishPictureY;
    gyo3_.left = uo_.left - kFishPictureX;

    // The lure point inside the bite box, edges included.
    const float pointX = rua_.left + kLurePoint;
    const float pointY = rua_.top + kLurePoint;
    const bool bite = pointY >= uo_.top && pointY <= uo_.top + uo_.height && pointX >= uo_.left &&
                      pointX <= uo_.left + uo_.width;
    if (bite) {
        screens().get<CastScreen>().Text1().text = "ＨＩＴ！！！";
        setTimer(Timer1_, false);
        setTimer(Timer2_, true);
    }
}

void LureScreen::Form_KeyDown(int keyCode) {
    GameState& s = state();
    if (keyCode == kKeyShift) {
        s.ReelSpeed = 50;
    } else if (keyCode == kKeyEnd) {
        s.PlayerLife = 0;
    } else if (keyCode == kKeyK) {
        if (s.BoostUses <= kBoostsPerGame - 1) {
            s.FishInterest = 10000;
            s.BoostUses += 1;
        }
    }
}

void LureScreen::Form_KeyUp(int keyCode) {
    if (keyCode == kKeyShift)
        state().ReelSpeed = 0;
}

// The bite transition: 29 growing black rectangles, 10 still ticks, then the
// battle opens.
void LureScreen::Timer2_Timer() {
    BiteCountdown_ -= 1;
    const int32_t n = BiteCountdown_;
    if (n >= 1) {
        const double dx = 3292.0 / n;
        const double dy = 1665.0 / n;
        drawRect({static_cast<float>(3292 - dx), static_cast<float>(1665 - dy), static_cast<float>(3292 + dx),
                  static_cast<float>(1665 + dy), 0x00000000});
    }
    if (n < -9) {
        screens().unload(kId);
        screens().show(FormId::Form7);
        screens().show(FormId::Form8);
    }
}

// The game-over wait is over: on to the results.
void LureScreen::Timer3_Timer() {
    screens().unload(FormId::Form5);
    screens().show(FormId::Form4);
    screens().unload(kId);
}

void LureScreen::writeVars(JsonWriter& out) const {
    out.field("BiteCountdown", BiteCountdown_);
}

}  // namespace mogumo
