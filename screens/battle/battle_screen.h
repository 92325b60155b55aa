#pragma once

#include <array>
#include <cstdint>

#include "core/screen.h"

namespace mogumo {

// Form8: the fight with the hooked fish. Form7, the splash above it, has no
// behaviour of its own; this screen sets its angler picture.
class BattleScreen : public Screen {
public:
    static constexpr FormId kId = FormId::Form8;

    explicit BattleScreen(ScreenSet& screens);

    void Form_Load() override;
    void Form_KeyDown(int keyCode) override;
    void Form_KeyUp(int keyCode) override;
    void writeVars(JsonWriter& out) const override;

    // Resting while 0 or more, fighting below 0.
    int32_t fishRest() const { return FishRest_; }
    int32_t fishDrift() const { return FishDrift_; }
    const std::array<float, 2>& gauge() const { return Gauge_; }
    int16_t pressedKey() const { return PressedKey_; }

private:
    void UOST();
    void batt();
    void hyo();
    void land();
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    void setSplashFace(int kaoIndex);

    int32_t FishDrift_ = 0;
    int32_t FishRest_ = 0;
    std::array<float, 2> Gauge_{};
    int16_t PressedKey_ = 0;

    Control& uoyosu_;  // the fighting fish ("uo yosu", how the fish looks)
    Control& ito_;     // the line ("ito") from the rod tip to the fish
    Control& Shape1_;
    Control& Label2_;
    Control& MENU_;
    std::array<Control*, 2> HP_;
    std::array<Control*, 3> uoimg_;  // the fish pictures uoyosu copies
    std::array<Control*, 7> iwa_;    // the rocks ("iwa")
    Control& Timer1_;
    Control& Timer2_;
    Control& Timer3_;
};

}  // namespace mogumo
