#include "screens/title/picture_store.h"

#include "core/game_state.h"
#include "ui/layouts/layouts.h"

namespace mogumo {

PictureStore::PictureStore(ScreenSet& screens) : Screen(screens, layoutOf(kId)) {}

void PictureStore::aaa() {
    if (state().SecretPoints < kSwapPoints)
        return;
    for (int i = 0; i <= 6; ++i) setPicture(ctl("kao", i), ctl("kao", i + 7).picture);
}

}  // namespace mogumo
