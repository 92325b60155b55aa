#pragma once

#include "core/screen.h"

namespace mogumo {

// Form4: the catch report at the end of a game.
class ResultsScreen : public Screen {
public:
    static constexpr FormId kId = FormId::Form4;
    explicit ResultsScreen(ScreenSet& screens);

    void Form_Load() override;

private:
    void Command1_Click();
};

}  // namespace mogumo
