#include "screens/screen_factory.h"

#include "screens/battle/battle_screen.h"
#include "screens/cast/cast_screen.h"
#include "screens/lure/lure_screen.h"
#include "screens/results/results_screen.h"
#include "screens/splash/splash_screen.h"
#include "screens/spot/spot_screen.h"
#include "screens/title/picture_store.h"
#include "screens/title/title_screen.h"

namespace mogumo {

std::unique_ptr<Screen> makeScreen(ScreenSet& screens, FormId id) {
    switch (id) {
        case FormId::Form1: return std::make_unique<TitleScreen>(screens);
        case FormId::Form2: return std::make_unique<PictureStore>(screens);
        case FormId::Form3: return std::make_unique<SpotScreen>(screens);
        case FormId::Form4: return std::make_unique<ResultsScreen>(screens);
        case FormId::Form5: return std::make_unique<CastScreen>(screens);
        case FormId::Form6: return std::make_unique<LureScreen>(screens);
        case FormId::Form7: return std::make_unique<SplashScreen>(screens);
        case FormId::Form8: return std::make_unique<BattleScreen>(screens);
    }
    return nullptr;
}

}  // namespace mogumo
