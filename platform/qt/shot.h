#pragma once

#include <QImage>
#include <string>

#include "core/screen.h"
#include "script/session.h"
#include "ui/texts/english.h"

namespace mogumo {

class PictureCache;

// The client area of a screen as the game's window paints it, at exactly
// clientWidth/15 x clientHeight/15 pixels, device pixel ratio 1, its texts
// in `language`.
QImage renderScreen(const Screen& screen, const PictureCache& pictures,
                    Language language = Language::Japanese);

// The `shot` command of mogumo-sim. On first use it makes a QApplication on
// the offscreen platform when there is none, and loads the pictures.
script::ShotRenderer qtShotRenderer(int argc, char** argv, Language language = Language::Japanese);

}  // namespace mogumo
