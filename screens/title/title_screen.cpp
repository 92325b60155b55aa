#include "screens/title/title_screen.h"

#include "core/screen_set.h"
#include "screens/title/picture_store.h"

namespace mogumo {

void TitleScreen::Form_Load() {
    GameState& s = state();
    s.SecretPoints += 1;
    s.BoostUses = 0;
    s.NewLine = "\r\n";
    for (std::string& line : s.CatchLog) line.clear();
    s.CatchTotals = {0, 0, 0};
}

void TitleScreen::click(Control& button) {
    if (button.name == "Command1")
        Command1_Click();
    else if (button.name == "Command2")
        Command2_Click();
}

// "ＧＡＭＥ　ＳＴＡＲＴ   !!!!!": the picture store swaps its angler first, so the
// spot screen already shows the pictures of this game.
void TitleScreen::Command1_Click() {
    screens().get<PictureStore>().aaa();
    screens().unload(kId);
    screens().show(FormId::Form3);
}

// "THE END"
void TitleScreen::Command2_Click() {
    screens().end();
}

}  // namespace mogumo
