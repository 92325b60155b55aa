#include "platform/sim/shot_module.h"

#ifdef MOGUMO_WITH_QT
#include "platform/qt/shot.h"
#endif

namespace mogumo {

script::ShotRenderer shotFromModule([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
#ifdef MOGUMO_WITH_QT
    return qtShotRenderer(argc, argv);
#else
    return {};
#endif
}

}  // namespace mogumo
