#pragma once

#include <array>
#include <cstdint>

#include "core/screen.h"

namespace mogumo {

// Form6: reel the lure in while the fish takes an interest. A cast ends in a
// return to the cast screen, a bite (transition, then the battle) or, when the
// life runs out, "タイム オーバー" and the results screen.
class LureScreen : public Screen {
public:
    static constexpr FormId kId = FormId::Form6;
    static constexpr int32_t kBoostsPerGame = 4;

    explicit LureScreen(ScreenSet& screens);

    void Form_Load() override { BiteCountdown_ = 30; }
    void Form_KeyDown(int keyCode) override;
    void Form_KeyUp(int keyCode) override;
    void writeVars(JsonWriter& out) const override;

    int32_t biteCountdown() const { return BiteCountdown_; }

private:
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    void lureStep();
    void returnHandOver();
    void writeStatus();
    // The fish step: moves the fish and tests for the bite.
    void sakana();

    int32_t BiteCountdown_ = 0;
    Control& rua_;                 // the lure ("rua"), whose picture flips between its two frames
    std::array<Control*, 2> img_;  // the lure's two frames, hidden, copied into rua
    std::array<Control*, 7> iwa_;  // the rocks ("iwa") on the sea floor
    Control& ito_;                 // the line ("ito") from the rod tip to the lure
    Control& uo_;                  // the fish's bite box ("uo"), hidden
    Control& gyo3_;                // the fish picture ("gyo"), drawn around the bite box
    Control& Shape1_;
    Control& Text1_;
    Control& Label1_;
    Control& Timer1_;
    Control& Timer2_;
    Control& Timer3_;
};

}  // namespace mogumo
