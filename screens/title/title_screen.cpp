#include "screens/title/title_screen.h"

#include "core/screen_set.h"
#include "screens/title/picture_store.h"
#include "ui/layouts/layouts.h"

namespace mogumo {

void TitleScreen::Form_Load() {
    GameState& s = state();
    s.SecretPoints += 1;
    s.BoostUses = 0;
    s.NewLine = "\r\n";
    for (std::string& line : s.CatchLog) line.clear();
    s.CatchTotals = {0, 0, 0};
}

TitleScreen::TitleScreen(ScreenSet& screens) : Screen(screens, layoutOf(kId)) {
    on(ctl("Command1"), [this] { Command1_Click(); });
    on(ctl("Command2"), [this] { Command2_Click(); });
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
