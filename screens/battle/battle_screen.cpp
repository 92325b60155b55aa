#include "screens/battle/battle_screen.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "core/json_writer.h"
#include "core/keys.h"
#include "core/screen_set.h"
#include "screens/battle/species_catalogue.h"
#include "screens/title/picture_store.h"
#include "ui/layouts/layouts.h"

namespace mogumo {

namespace {
// The scene, in twips.
constexpr int kRodEndX = 6585;        // the line's rod end: the lure's distance plus this
constexpr int kRodEndY = -300;        // the rod tip, above the window's top
constexpr float kMouthX = 637.5f;     // where the line meets the fish, from its left
constexpr int kMouthY = 480;          // ... and from its top
constexpr int kFishLeftmost = 360;    // the fish swims no further left ...
constexpr int kFishRightmost = 3675;  // ... nor further right
constexpr int kSinkAtBound = 10;      // a fish held at the left bound sinks this much a step
constexpr int kRockGone = -420;       // a rock past this left edge comes back
constexpr int kRockWrapRight = 7000;  // ... this far to the right
constexpr int kRockGoneRight = 7420;  // a rock past this right edge comes back
constexpr int kRockWrapLeft = 7500;   // ... this far to the left

// Rounded to the nearest whole number, exact halves to the even neighbour.
int32_t rounded(double v) {
    return static_cast<int32_t>(std::lrint(v));
}
}  // namespace

BattleScreen::BattleScreen(ScreenSet& screens)
    : Screen(screens, layoutOf(kId)),
      uoyosu_(ctl("uoyosu")),
      ito_(ctl("ito")),
      Shape1_(ctl("Shape1")),
      Label2_(ctl("Label2")),
      MENU_(ctl("MENU")),
      HP_{&ctl("HP", 0), &ctl("HP", 1)},
      Timer1_(ctl("Timer1")),
      Timer2_(ctl("Timer2")),
      Timer3_(ctl("Timer3")) {
    on(Timer1_, [this] { Timer1_Timer(); });
    on(Timer2_, [this] { Timer2_Timer(); });
    on(Timer3_, [this] { Timer3_Timer(); });
    for (int i = 0; i < 3; ++i) uoimg_[static_cast<size_t>(i)] = &ctl("uoimg", i);
    for (int i = 0; i < 7; ++i) iwa_[static_cast<size_t>(i)] = &ctl("iwa", i);
}

// Draws the hooked species: 101 index draws of which the last counts, then
// the weight and the length: 103 draws in all.
void BattleScreen::UOST() {
    GameState& s = state();
    RandomSource& random = screens().random();
    for (int i = 0; i <= 100; ++i)
        s.SpeciesIndex = rounded(static_cast<double>(random.draw()) * s.SpeciesCount);
    const Species& row = speciesRow(s.SpeciesIndex);
    s.FishName = row.name;
    s.FishWeight = rounded(static_cast<double>(random.draw()) * 30 + row.baseWeight);
    s.FishLength = rounded(static_cast<double>(random.draw()) * 30 + row.baseLength);
}

void BattleScreen::Form_Load() {
    UOST();
    Control& fishBar = *HP_[0];
    fishBar.max =
        static_cast<float>(static_cast<int32_t>(static_cast<double>(screens().random().draw()) * 60) + 100);
    fishBar.value = fishBar.max;
    HP_[1]->max = 100;
    Gauge_[0] = fishBar.value;
    Gauge_[1] = 100;
    FishDrift_ = 0;
}

// One battle step (behind the step gate).
void BattleScreen::Timer1_Timer() {
    GameState& s = state();

    uoyosu_.left += static_cast<float>(FishDrift_);
    s.PlayerLife -= 1;
    // The step moves the line's second end to the rod and its first to the fish.
    ito_.x2 = static_cast<float>(s.LureDistance + kRodEndX);
    ito_.y2 = kRodEndY;
    if (Gauge_[1] > 0) {
        ito_.x1 = uoyosu_.left + kMouthX;
        ito_.y1 = uoyosu_.top + kMouthY;
    }
    if (uoyosu_.left <= kFishLeftmost) {
        uoyosu_.left = kFishLeftmost;
        uoyosu_.top += kSinkAtBound;
    }
    if (uoyosu_.left >= kFishRightmost)
        uoyosu_.left = kFishRightmost;
    // Held at a bound, the fish stays and the bottom slides past instead.
    if (uoyosu_.left == kFishLeftmost || uoyosu_.left == kFishRightmost) {
        for (Control* rockPtr : iwa_) {
            Control& rock = *rockPtr;
            rock.left -= static_cast<float>(FishDrift_);
            if (rock.left < kRockGone)
                rock.left += kRockWrapRight;
            else if (rock.left > kRockGoneRight)
                rock.left -= kRockWrapLeft;
        }
    }
    batt();
    if (uoyosu_.top + uoyosu_.height / 2 >= Shape1_.top)
        Gauge_[1] -= 10;  // chafing on the bottom
    hyo();

    if (!(Gauge_[1] > 0) || s.PlayerLife < 1) {
        setTimer(Timer1_, false);
        setTimer(Timer2_, true);
    }
    if (uoyosu_.top <= -uoyosu_.height / 2)
        land();
}

void BattleScreen::land() {
    GameState& s = state();
    Label2_.text = s.FishName + "を 釣り上げた！";
    // A full log keeps the totals counting but has no line left to write.
    const int32_t line = s.CatchTotals[0];
    if (line >= 0 && line < GameState::kCatchLogLines)
        s.CatchLog[static_cast<size_t>(line)] = catchLogLine(s.FishName, s.FishWeight, s.FishLength);
    s.CatchTotals[0] += 1;
    s.CatchTotals[1] += s.FishWeight;
    s.CatchTotals[2] += s.FishLength;
    setTimer(Timer1_, false);
    setTimer(Timer3_, true);
    Label2_.visible = true;
    if (s.SpeciesIndex == kPrincessSpecies)
        s.SecretPoints += 30;
}

// The fish fights or rests; the player's pull acts on it.
void BattleScreen::batt() {
    const GameState& s = state();
    RandomSource& random = screens().random();

    FishRest_ -= 1;
    const bool breaksOff = static_cast<double>(random.draw()) * 200 <= 5;
    if ((breaksOff || Gauge_[0] <= 0) && FishRest_ < 0) {
        FishRest_ = rounded(static_cast<double>(random.draw()) * 25 + 30);
        FishDrift_ = 0;
    }
    if (FishRest_ < 0) {
        FishDrift_ = rounded(FishDrift_ - (static_cast<double>(random.draw()) * 20 + 10));
        Gauge_[0] -= static_cast<float>(std::abs(FishDrift_)) / 70.0f;
        uoyosu_.top += 5;
    }
    if (FishDrift_ < -500)
        FishDrift_ = -500;
    if (FishDrift_ > 300)
        FishDrift_ = 300;
    if (FishRest_ >= 0)
        Gauge_[0] += 1;
    if (HP_[0]->max <= Gauge_[0])
        FishRest_ = 0;

    bool pulled = false;
    if (PressedKey_ == kKeyShift) {
        setSplashFace(3);
        if (Gauge_[1] > 0 && s.PlayerLife > 0) {
            if (FishRest_ < 0) {
                Gauge_[1] -= static_cast<float>(std::abs(FishDrift_)) / 100.0f;
                FishDrift_ = rounded(FishDrift_ / 1.4);
                pulled = true;
                setPicture(uoyosu_, uoimg_[2]->picture);
            } else {
                Gauge_[1] -= 0.001f;
                FishDrift_ += 10;
                setPicture(uoyosu_, uoimg_[0]->picture);
                pulled = true;
                uoyosu_.top -= 10;
            }
        }
    } else {
        setSplashFace(2);
        FishDrift_ -= 2;
    }
    if (!pulled && FishRest_ < 0)
        setPicture(uoyosu_, uoimg_[1]->picture);
}

void BattleScreen::setSplashFace(int kaoIndex) {
    const std::string_view face = screens().get<PictureStore>().kao(kaoIndex);
    setPicture(screens().ref(FormId::Form7).ctl("Image1"), face);
}

// Keeps both gauges within their bars and rewrites the status.
void BattleScreen::hyo() {
    const GameState& s = state();
    for (size_t i = 0; i < 2; ++i) {
        if (!(Gauge_[i] > 0))
            Gauge_[i] = 0;
        if (!(HP_[i]->max > Gauge_[i]))
            Gauge_[i] = HP_[i]->max;
        HP_[i]->value = Gauge_[i];
    }
    if (!(Gauge_[1] > 0))
        setSplashFace(4);
    MENU_.text = " LIFE :" + std::to_string(s.PlayerLife) + s.NewLine +
                 "岸まで:" + std::to_string(s.LureDistance) + "M" + s.NewLine +
                 "あれ:" + std::to_string(FishRest_);
}

// The escape: the lost fish swims on until it has left at the left edge.
void BattleScreen::Timer2_Timer() {
    batt();
    hyo();
    uoyosu_.left += static_cast<float>(FishDrift_);
    if (!(uoyosu_.width + uoyosu_.left > 0)) {
        setTimer(Timer2_, false);
        setTimer(Timer3_, true);
        Label2_.visible = true;
    }
}

// Three seconds after the end of the battle: back to a fresh cast screen.
void BattleScreen::Timer3_Timer() {
    screens().unload(kId);
    screens().unload(FormId::Form7);
    screens().unload(FormId::Form5);
    screens().show(FormId::Form5);
}

void BattleScreen::Form_KeyDown(int keyCode) {
    PressedKey_ = static_cast<int16_t>(keyCode);
    if (keyCode == kKeyEnd)
        Gauge_[1] = 0;  // the player cuts the line
}

void BattleScreen::Form_KeyUp(int /*keyCode*/) {
    PressedKey_ = 0;
}

void BattleScreen::writeVars(JsonWriter& out) const {
    out.field("FishDrift", FishDrift_);
    out.field("FishRest", FishRest_);
    out.arrayField("Gauge", Gauge_);
    out.field("PressedKey", static_cast<int32_t>(PressedKey_));
}

}  // namespace mogumo
