#include "platform/qt/shot.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>

#include "core/game.h"
#include "core/screen.h"
#include "platform/qt/picture_cache.h"
#include "platform/qt/screen_painter.h"
#include "qt_fixture.h"
#include "screens/screen_factory.h"

namespace mogumo {
namespace {

void click(Game& sim, FormId form, std::string_view name) {
    Screen& s = *sim.screens().loaded(form);
    sim.screens().click(s, s.ctl(name));
}

QRgb rgb(int r, int g, int b) {
    return qRgb(r, g, b);
}

// The game from the title to the lure in the water.
class ShotTest : public ::testing::Test {
protected:
    void castTheLure() {
        sim_.start();
        click(sim_, FormId::Form1, "Command1");
        click(sim_, FormId::Form3, "Command2");
        sim_.run(300);
        click(sim_, FormId::Form5, "cast");
        sim_.run(200);
    }
    QImage shot(FormId form, Language language = Language::Japanese) {
        return renderScreen(*sim_.screens().loaded(form), testPictures(), language);
    }

    Game sim_{makeScreen};
};

TEST_F(ShotTest, ShotsAreTheClientAreaAtOnePixelPerFifteenTwips) {
    sim_.start();
    const QImage title = shot(FormId::Form1);
    EXPECT_EQ(title.size(), QSize(489, 306));
    EXPECT_EQ(title.devicePixelRatio(), 1.0);

    QTemporaryDir dir;
    const script::ShotRenderer render = qtShotRenderer(0, nullptr);
    const std::string path = dir.filePath(QStringLiteral("title.png")).toStdString();
    EXPECT_EQ(render(*sim_.screens().loaded(FormId::Form1), path), "");
    QImage saved(QString::fromStdString(path));
    EXPECT_EQ(saved.size(), QSize(489, 306));
    // A path that cannot be written names itself and the reason.
    for (const auto& [bad, why] : {std::pair{"/nonexistent/dir/x.png", "No such file or directory"},
                                   std::pair{"/dev/full", "No space left on device"}}) {
        const std::string problem = render(*sim_.screens().loaded(FormId::Form1), bad);
        EXPECT_EQ(problem, std::string("cannot write ") + bad + ": " + why);
    }
}

TEST_F(ShotTest, TheCastScreenShowsTheAnglerOnADarkRedBank) {
    castTheLure();
    const QImage cast = shot(FormId::Form5);
    EXPECT_EQ(cast.pixel(430, 60), rgb(192, 0, 0));
    EXPECT_EQ(cast.pixel(3, 95), rgb(0, 128, 128));  // the water under the waves
    EXPECT_EQ(cast.pixel(40, 12), rgb(0, 255, 0));   // the power, inside its picture box
}

TEST_F(ShotTest, TheLureScreenShowsWaterSeaBedAndRocksWithTheirBackgroundAround) {
    castTheLure();
    const QImage lure = shot(FormId::Form6);
    EXPECT_EQ(lure.pixel(10, 10), rgb(0, 128, 128));
    Screen& screen = *sim_.screens().loaded(FormId::Form6);
    const QRect rock = ScreenPainter::rectOf(screen.ctl("iwa", 0));
    // The rock's picture is see-through around the figure: the sea bed shows
    // at its left edge, just above the text box.
    EXPECT_EQ(lure.pixel(rock.left(), rock.top() + 27), rgb(128, 128, 128));
    // ...and its figure is drawn: a dark outline somewhere in the middle row.
    bool figure = false;
    for (int x = rock.left(); x <= rock.right(); ++x)
        figure = figure || lure.pixel(x, rock.center().y()) != rgb(128, 128, 128);
    EXPECT_TRUE(figure);
}

TEST_F(ShotTest, TheBiteTransitionDrawsBlackRectanglesOverTheScene) {
    castTheLure();
    // The fish's bite box over the lure: it bites on the next step.
    Screen& lure = *sim_.screens().loaded(FormId::Form6);
    Control& fish = lure.ctl("uo");
    fish.left = lure.ctl("rua").left + 165 - 200;
    fish.top = lure.ctl("rua").top + 165 - 200;
    fish.width = fish.height = 400;
    sim_.run(51 + 5 * 50);
    ASSERT_GE(lure.drawings().size(), 5u);
    const QImage img = shot(FormId::Form6);
    // 3292,1665 twips is the centre of the growing rectangles.
    EXPECT_EQ(img.pixel(219, 111), rgb(0, 0, 0));
    EXPECT_EQ(img.pixel(5, 5), rgb(0, 128, 128));  // not reached yet
}

// English changes the words and nothing else: outside the controls that
// show text the spot screen is the same picture, and its title, drawn in
// its bordered box, keeps inside the border.
TEST_F(ShotTest, InEnglishOnlyTheTextsChange) {
    sim_.start();
    click(sim_, FormId::Form1, "Command1");
    const QImage japanese = shot(FormId::Form3);
    const QImage english = shot(FormId::Form3, Language::English);
    ASSERT_EQ(english.size(), japanese.size());
    QRegion texts;
    for (const Control& c : sim_.screens().loaded(FormId::Form3)->controls())
        if (!c.text.empty() && c.visible)
            texts += ScreenPainter::rectOf(c);
    const QRect title = ScreenPainter::rectOf(sim_.screens().loaded(FormId::Form3)->ctl("Label1"));
    int changedInTitle = 0;
    for (int y = 0; y < english.height(); ++y)
        for (int x = 0; x < english.width(); ++x) {
            const bool changed = english.pixel(x, y) != japanese.pixel(x, y);
            const bool insideTitle = title.adjusted(1, 1, -1, -1).contains(x, y);
            changedInTitle += changed && insideTitle;
            if (changed && (!texts.contains(QPoint(x, y)) || (title.contains(x, y) && !insideTitle)))
                FAIL() << "pixel " << x << "," << y << " changed outside the texts";
        }
    EXPECT_GT(changedInTitle, 100);
}

// A window repaints a windowless control when anything about it changed, the
// font included.
TEST(ScreenPainter, AnyChangedFieldIsAnotherPaint) {
    Control a;
    a.text = "x";
    Control b = a;
    EXPECT_TRUE(ScreenPainter::samePaint(a, b));
    b.font = Font{"ＭＳ ゴシック", 12.0f, true, false};
    EXPECT_FALSE(ScreenPainter::samePaint(a, b));
}

}  // namespace
}  // namespace mogumo
