// Which window has the keyboard as the game goes from screen to screen,
// buttons pressed from the keyboard, and the help viewer put away with Esc.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTextBrowser>
#include <memory>

#include "platform/qt/help_window.h"
#include "platform/qt/qt_host.h"
#include "platform/qt/screen_window.h"
#include "qt_fixture.h"

namespace mogumo {
namespace {

class FocusTest : public ::testing::Test {
protected:
    void SetUp() override {
        QtHost::Options o;
        o.realClock = [this] { return real_; };
        o.onEnd = [] {};
        host_ = std::make_unique<QtHost>(testPictures(), o);
        host_->start();
        settle();
    }

    void TearDown() override {
        host_.reset();
        settle();
    }

    // Lets the window system's activations and focus changes arrive.
    static void settle() {
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    }

    void runFor(uint64_t ms) {
        runHostFor(*host_, real_, ms);
        settle();
    }

    ScreenWindow* win(FormId form) const { return host_->window(form); }
    GameState& state() { return host_->screens().state(); }

    // The key goes where the application sends it: to the focus widget.
    static void press(int key, QEvent::Type type = QEvent::KeyPress, bool autoRepeat = false) {
        QWidget* to = QApplication::focusWidget();
        ASSERT_NE(to, nullptr);
        QKeyEvent e(type, key, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(to, &e);
        settle();
    }
    static void tap(int key) {
        press(key);
        press(key, QEvent::KeyRelease);
    }

    // The window of the screen is the active one and the keys go to the
    // given control of it, or to the window itself.
    void expectKeysWith(FormId form, const char* control = nullptr) {
        settle();
        ScreenWindow* w = win(form);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(host_->desk().keyWindow(), w);
        EXPECT_EQ(QApplication::activeWindow(), w);
        EXPECT_EQ(QApplication::focusWidget(), control ? w->widgetOf(control) : w);
    }

    void toCastScreen() {
        ASSERT_TRUE(host_->click(FormId::Form1, "Command1"));
        ASSERT_TRUE(host_->click(FormId::Form3, "Command2"));
        settle();
    }

    // Casts at once and puts the fish's bite box over the lure, so that it
    // bites on the first lure step; the battle opens when the transition ends.
    void toBattle() {
        toCastScreen();
        ASSERT_TRUE(host_->click(FormId::Form5, "cast"));
        Control& uo = host_->screens().loaded(FormId::Form6)->ctl("uo");
        uo.left = 4575 - 112;
        uo.top = 495 - 112;
        runFor(2200);
        ASSERT_NE(win(FormId::Form8), nullptr);
    }

    uint64_t real_ = 0;
    std::unique_ptr<QtHost> host_;
};

TEST_F(FocusTest, EveryScreenTakesTheKeysAsItOpens) {
    expectKeysWith(FormId::Form1, "Command1");
    toCastScreen();
    expectKeysWith(FormId::Form5, "cast");

    EXPECT_EQ(win(FormId::Form5)->widgetOf("Text1")->focusPolicy(), Qt::NoFocus);  // disabled text box

    ASSERT_TRUE(host_->click(FormId::Form5, "cast"));
    expectKeysWith(FormId::Form6);
    for (QWidget* child : win(FormId::Form6)->findChildren<QWidget*>())
        EXPECT_EQ(child->focusPolicy(), Qt::NoFocus) << child->metaObject()->className();
    // Shift reels at once, no click into the window needed.
    press(Qt::Key_Shift);
    EXPECT_EQ(state().ReelSpeed, 50);
    press(Qt::Key_Shift, QEvent::KeyRelease);
    EXPECT_EQ(state().ReelSpeed, 0);
    // End gives up: the game-over wait, then the results.
    press(Qt::Key_End);
    EXPECT_EQ(state().PlayerLife, 0);
    runFor(3200);
    ASSERT_NE(win(FormId::Form4), nullptr);
    expectKeysWith(FormId::Form4, "Text1");

    ASSERT_TRUE(host_->click(FormId::Form4, "Command1"));
    expectKeysWith(FormId::Form1, "Command1");
    ASSERT_TRUE(host_->click(FormId::Form1, "Command1"));
    expectKeysWith(FormId::Form3, "Text1");
}

TEST_F(FocusTest, TheBattleScreenHasTheKeysAndTheSplashNever) {
    toBattle();
    ScreenWindow* splash = win(FormId::Form7);
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(splash->windowFlags() & Qt::WindowDoesNotAcceptFocus);
    expectKeysWith(FormId::Form8);
    EXPECT_FALSE(splash->isActiveWindow());
    // End cuts the line: the fish is lost and the cast screen opens afresh,
    // with the keys.
    press(Qt::Key_End);
    runFor(60);
    EXPECT_FALSE(host_->screens().loaded(FormId::Form8)->ctl("Timer1").enabled);
    runFor(20000);
    ASSERT_EQ(win(FormId::Form8), nullptr);
    expectKeysWith(FormId::Form5, "cast");
}

TEST_F(FocusTest, TheCastScreenGetsTheKeysBackWhenTheLureReturns) {
    toCastScreen();
    ASSERT_TRUE(host_->click(FormId::Form5, "cast"));
    settle();
    press(Qt::Key_Shift);
    for (int i = 0; i < 100 && win(FormId::Form6); ++i) runFor(50);
    ASSERT_EQ(win(FormId::Form6), nullptr);
    ASSERT_TRUE(win(FormId::Form5)->isEnabled());
    expectKeysWith(FormId::Form5, "cast");
}

TEST_F(FocusTest, ReturnAndSpacePressTheFocusedButton) {
    const struct {
        const char* what;
        std::vector<std::pair<int, QEvent::Type>> keys;
        bool pressed;
    } cases[] = {
        {"Return", {{Qt::Key_Return, QEvent::KeyPress}}, true},
        {"Enter", {{Qt::Key_Enter, QEvent::KeyPress}}, true},
        {"Space, let go", {{Qt::Key_Space, QEvent::KeyPress}, {Qt::Key_Space, QEvent::KeyRelease}}, true},
        {"Space held", {{Qt::Key_Space, QEvent::KeyPress}}, false},
        {"Shift", {{Qt::Key_Shift, QEvent::KeyPress}, {Qt::Key_Shift, QEvent::KeyRelease}}, false},
    };
    for (const auto& c : cases) {
        SetUp();
        expectKeysWith(FormId::Form1, "Command1");
        for (const auto& [key, type] : c.keys) press(key, type);
        EXPECT_EQ(win(FormId::Form3) != nullptr, c.pressed) << c.what;
    }
}

TEST_F(FocusTest, AHeldReturnPressesOnce) {
    toCastScreen();
    press(Qt::Key_Return);  // casts
    expectKeysWith(FormId::Form6);
    press(Qt::Key_Return, QEvent::KeyPress, true);
    EXPECT_NE(win(FormId::Form6), nullptr);
    EXPECT_FALSE(win(FormId::Form5)->isEnabled());
}

TEST_F(FocusTest, HelpOpensOverThePlayedScreenAndEscGivesTheKeysBack) {
    toCastScreen();
    ASSERT_TRUE(host_->click(FormId::Form5, "cast"));
    expectKeysWith(FormId::Form6);
    tap(Qt::Key_F1);
    HelpWindow* help = host_->helpWindow();
    ASSERT_NE(help, nullptr);
    ASSERT_TRUE(help->isVisible());
    EXPECT_TRUE(win(FormId::Form6)->frameGeometry().contains(help->frameGeometry().center()));
    EXPECT_EQ(QApplication::activeWindow(), help);

    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(help->browser(), &esc);
    EXPECT_FALSE(help->isVisible());
    expectKeysWith(FormId::Form6);
    press(Qt::Key_Shift);
    EXPECT_EQ(state().ReelSpeed, 50);
}

}  // namespace
}  // namespace mogumo
