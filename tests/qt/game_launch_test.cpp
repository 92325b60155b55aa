#include "platform/qt/game_launch.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QWidget>
#include <map>

#include "platform/qt/font_map.h"
#include "platform/qt/font_setup.h"
#include "platform/qt/screen_window.h"
#include "ui/layouts/layouts.h"

namespace mogumo {
namespace {

// Told of no application, the font thread stops once fontconfig is set up:
// waiting for it ends, as often as it is asked.
TEST(FontSetup, WaitingEndsWhenNoApplicationWasAnnounced) {
    FontSetup::begin();
    FontSetup::wait();
    FontSetup::wait();
    EXPECT_EQ(FontMap::family("ＭＳ Ｐ明朝"), QStringLiteral("IPAPMincho"));
}

// The game opens on its title with the fonts listed on a thread of their own
// and the title's picture decoded on another: every caption of the title is
// set in the face it always was.
TEST(GameLaunch, OpensOnTheTitleWithTheFacesItAlwaysHad) {
    FontSetup::begin();
    GameLaunch launch;
    QtHost::Options o;
    o.realClock = [] { return uint64_t{0}; };
    o.onEnd = [] {};
    ASSERT_EQ(launch.open(o), "");
    launch.host().start();
    ScreenWindow* title = launch.host().window(FormId::Form1);
    ASSERT_NE(title, nullptr);

    const std::map<std::string_view, QString> faces{{"Command1", "IPAPGothic"},
                                                    {"Command2", "IPAPGothic"},
                                                    {"Label1", "IPAPMincho"},
                                                    {"Label2", "IPAPGothic"}};
    const ScreenLayout& layout = layoutOf(FormId::Form1);
    for (const Control& c : layout.controls) {
        if (c.text.empty())
            continue;
        SCOPED_TRACE(std::string(c.name));
        ASSERT_TRUE(faces.count(c.name));
        const QWidget* w = title->widgetOf(c.name);
        const QFont font = w ? w->font() : FontMap::fontFor(c.font, layout.screenFont);
        EXPECT_EQ(QFontInfo(font).family(), faces.at(c.name));
    }
}

}  // namespace
}  // namespace mogumo
