#include "screens/results/results_screen.h"

#include <string>

#include "core/screen_set.h"
#include "core/text.h"
#include "ui/layouts/layouts.h"

namespace mogumo {

ResultsScreen::ResultsScreen(ScreenSet& screens) : Screen(screens, layoutOf(kId)) {
    on(ctl("Command1"), [this] { Command1_Click(); });
}

void ResultsScreen::Form_Load() {
    const GameState& s = state();
    std::string text = "魚の名前　　　/重量(g)/身長(mm)";
    for (const std::string& line : s.CatchLog) {
        if (line.empty())
            break;
        text += s.NewLine + line;
    }
    const int32_t count = s.CatchTotals[0];
    if (count > 0) {
        const double averageWeight = static_cast<double>(s.CatchTotals[1]) / count;
        const double averageLength = static_cast<double>(s.CatchTotals[2]) / count;
        text += s.NewLine + s.NewLine + "釣った数:" + std::to_string(count);
        text += s.NewLine + "総重量:" + std::to_string(s.CatchTotals[1]) +
                "g 平均:" + formatAverage(averageWeight) + "g";
        text += s.NewLine + "平均身長:" + formatAverage(averageLength) + "mm";
    }
    ctl("Text1").text = text;
}

// "満足": back to the title screen, which starts a new game.
void ResultsScreen::Command1_Click() {
    screens().unload(kId);
    screens().show(FormId::Form1);
}

}  // namespace mogumo
