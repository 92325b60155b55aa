#pragma once

#include <cstdint>

#include "core/screen.h"

namespace mogumo {

// Form5: the power bar sweeps; "キャスト！！" throws the lure.
class CastScreen : public Screen {
public:
    static constexpr FormId kId = FormId::Form5;
    explicit CastScreen(ScreenSet& screens);

    void Form_Load() override;
    void writeVars(JsonWriter& out) const override;

    int32_t castPower() const { return CastPower_; }
    Control& Text1() { return Text1_; }
    Control& Timer2() { return Timer2_; }

private:
    void frameChange();
    void Timer1_Timer() { frameChange(); }
    void Timer2_Timer();
    void cast_Click();

    int32_t CastPower_ = 0;
    Control& cast_;
    Control& Picture1_;
    Control& pow2_;
    Control& Label1_;
    Control& Text1_;
    Control& Image1_;
    Control& Timer2_;
};

}  // namespace mogumo
