#pragma once

#include "core/screen.h"

namespace mogumo {

// Form1: every visit starts a new game.
class TitleScreen : public Screen {
public:
    static constexpr FormId kId = FormId::Form1;
    explicit TitleScreen(ScreenSet& screens);

    void Form_Load() override;

private:
    void Command1_Click();
    void Command2_Click();
};

}  // namespace mogumo
