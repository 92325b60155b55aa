#include "platform/qt/game_launch.h"

#include <QApplication>
#include <cstdlib>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "platform/qt/app_identity.h"
#include "platform/qt/font_setup.h"
#include "platform/qt/window_title.h"
#include "ui/layouts/layouts.h"

namespace mogumo {

void GameLaunch::beforeApplication() {
#ifdef __GLIBC__
    // Each thread would otherwise get a malloc arena of its own, kept to the
    // end; the game allocates little off the GUI thread.
    mallopt(M_ARENA_MAX, 1);
#endif
    FontSetup::begin();
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
}

GameLaunch::~GameLaunch() {
    host_.reset();
    FontSetup::wait();
}

std::string GameLaunch::open(QtHost::Options options) {
    FontSetup::applicationReady();
    setApplicationIdentity();
    keepLegacyTitlesReadable();
    // Windows come and go between screens; only the game says when it ends.
    QApplication::setQuitOnLastWindowClosed(false);
    if (std::string problem = pictures_.load(); !problem.empty())
        return problem;
    // The title's pictures are decoded while its window is made.
    for (const Control& c : layoutOf(FormId::Form1).controls)
        if (c.visible)
            pictures_.prefetch(c.picture);
    host_ = std::make_unique<QtHost>(pictures_, std::move(options));
    return {};
}

}  // namespace mogumo
