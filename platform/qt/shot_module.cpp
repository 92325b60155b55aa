// The `shot` painter as a module of its own, which mogumo-sim loads on its
// first `shot`: a script without one never loads Qt.

#include "platform/qt/shot.h"

// `language` is a mogumo::Language.
extern "C" __attribute__((visibility("default"))) void* mogumo_make_shot_renderer(int argc, char** argv,
                                                                                  int language) {
    return new mogumo::script::ShotRenderer(
        mogumo::qtShotRenderer(argc, argv, static_cast<mogumo::Language>(language)));
}
