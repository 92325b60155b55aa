#include "platform/qt/qt_host.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <memory>

#include "core/step_gate.h"
#include "platform/qt/help_window.h"
#include "platform/qt/picture_cache.h"
#include "platform/qt/screen_window.h"
#include "qt_fixture.h"

namespace mogumo {
namespace {

// The real host on a clock the test moves by hand.
class QtHostTest : public ::testing::Test {
protected:
    void make(QUrl help = {}) {
        QtHost::Options o;
        o.realClock = [this] { return real_; };
        o.onEnd = [this] { ++ends_; };
        o.helpUrl = std::move(help);
        host_ = std::make_unique<QtHost>(testPictures(), o);
        host_->start();
    }

    // Moves real time on, waking the host whenever it asked to be woken.
    void runFor(uint64_t ms) { runHostFor(*host_, real_, ms); }

    void toLureScreen() {
        make();
        ASSERT_TRUE(host_->click(FormId::Form1, "Command1"));
        ASSERT_TRUE(host_->click(FormId::Form3, "Command2"));
        runFor(300);
        ASSERT_TRUE(host_->click(FormId::Form5, "cast"));
    }

    static void sendKey(QWidget* to, QEvent::Type type, int key, bool autoRepeat = false) {
        QKeyEvent e(type, key, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(to, &e);
    }

    static void expectWindow(const ScreenWindow* w, QRect client, const char* caption) {
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(w->geometry(), client);
        EXPECT_EQ(w->windowTitle(), QString::fromUtf8(caption));
    }

    uint64_t real_ = 0;  // the game clock reads 100000 + real_ when caught up
    int ends_ = 0;
    std::unique_ptr<QtHost> host_;
};

TEST_F(QtHostTest, WindowsOpenAtTheirPlacesWithTheirCaptions) {
    make();
    expectWindow(host_->window(FormId::Form1), QRect(92, 136, 489, 306), "タイトル(ヘルプは Ｆ１ ででるよ)");
    EXPECT_FALSE(host_->window(FormId::Form1)->windowIcon().isNull());

    ASSERT_TRUE(host_->click(FormId::Form1, "Command1"));
    EXPECT_EQ(host_->window(FormId::Form1), nullptr);
    expectWindow(host_->window(FormId::Form3), QRect(108, 133, 456, 265), "つり場所");

    ASSERT_TRUE(host_->click(FormId::Form3, "Command2"));
    EXPECT_EQ(host_->window(FormId::Form3), nullptr);
    expectWindow(host_->window(FormId::Form5), QRect(100, 122, 434, 140), "キャスト！（多いと飛びもいいよ）");
    EXPECT_EQ(host_->window(FormId::Form5)->size(), host_->window(FormId::Form5)->minimumSize());
    EXPECT_EQ(host_->window(FormId::Form5)->size(), host_->window(FormId::Form5)->maximumSize());
}

TEST_F(QtHostTest, TheCastScreenTakesNothingWhileTheLureIsOut) {
    toLureScreen();
    ScreenWindow* cast = host_->window(FormId::Form5);
    ASSERT_NE(cast, nullptr);
    EXPECT_FALSE(cast->isEnabled());
    EXPECT_FALSE(host_->click(FormId::Form5, "cast"));
    static_cast<QPushButton*>(cast->widgetOf("cast"))->click();
    sendKey(cast, QEvent::KeyPress, Qt::Key_F1);
    EXPECT_EQ(host_->helpRequests(), 0);
    EXPECT_NE(host_->window(FormId::Form6), nullptr);
    EXPECT_EQ(host_->screens().loaded(FormId::Form5)->ctl("Text1").text, "届いた長さは140Ｍです");
}

TEST_F(QtHostTest, KeysReachTheScreenThroughFocusedButtonsAndRepeatsOnlyPress) {
    make(QUrl::fromLocalFile(QStringLiteral("/nonexistent/mogumo_help.html")));
    ScreenWindow* title = host_->window(FormId::Form1);
    sendKey(title->widgetOf("Command1"), QEvent::KeyPress, Qt::Key_F1);
    EXPECT_EQ(host_->helpRequests(), 1);

    host_->click(FormId::Form1, "Command1");
    host_->click(FormId::Form3, "Command2");
    runFor(300);
    host_->click(FormId::Form5, "cast");
    ScreenWindow* lure = host_->window(FormId::Form6);
    GameState& s = host_->screens().state();
    sendKey(lure, QEvent::KeyPress, Qt::Key_Shift);
    EXPECT_EQ(s.ReelSpeed, 50);
    sendKey(lure, QEvent::KeyRelease, Qt::Key_Shift, true);
    EXPECT_EQ(s.ReelSpeed, 50);
    sendKey(lure, QEvent::KeyPress, Qt::Key_Shift, true);
    sendKey(lure, QEvent::KeyRelease, Qt::Key_Shift);
    EXPECT_EQ(s.ReelSpeed, 0);
    sendKey(lure, QEvent::KeyPress, Qt::Key_K);
    EXPECT_EQ(s.BoostUses, 1);
}

TEST_F(QtHostTest, HelpOpensOnTheDocumentOrSaysItIsMissing) {
    make();
    ASSERT_TRUE(host_->keyDown(FormId::Form1, 112));
    HelpWindow* help = host_->helpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->windowTitle(), QStringLiteral("Mogumo ヘルプ"));
    EXPECT_TRUE(help->browser()->source().toString().contains(QStringLiteral("mogumo_help.html")));
    EXPECT_FALSE(help->browser()->toPlainText().isEmpty());
    EXPECT_EQ(help->notice(), nullptr);

    make(QUrl::fromLocalFile(QStringLiteral("/nonexistent/mogumo_help.html")));
    ASSERT_TRUE(host_->keyDown(FormId::Form1, 112));
    help = host_->helpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_FALSE(help->isVisible());
    ASSERT_NE(help->notice(), nullptr);
    EXPECT_TRUE(help->notice()->text().contains(QStringLiteral("mogumo_help.html")));
    // The game goes on.
    EXPECT_TRUE(host_->click(FormId::Form1, "Command1"));
    help->notice()->close();
}

TEST_F(QtHostTest, LureStepsRunAtTheirDueMillisecondHoweverLateOrEarlyTheWakeComes) {
    toLureScreen();
    GameState& s = host_->screens().state();
    for (int step = 0; step < 10; ++step) {
        // The host sleeps until the step gate opens, waking for nothing between.
        const auto next = host_->nextWakeAt();
        ASSERT_TRUE(next.has_value());
        const uint32_t gate = firstDueTick(s.LastTick);
        ASSERT_EQ(static_cast<uint32_t>(100000 + *next), gate);
        // A wake a millisecond early does nothing and sleeps again.
        real_ = *next - 1;
        host_->wake();
        EXPECT_NE(static_cast<uint32_t>(s.LastTick), gate);
        ASSERT_EQ(host_->nextWakeAt(), next);
        // A late one still steps at the due millisecond.
        real_ = *next + static_cast<uint64_t>(step % 4);
        host_->wake();
        EXPECT_EQ(static_cast<uint32_t>(s.LastTick), gate);
    }
    ScreenWindow* lure = host_->window(FormId::Form6);
    const auto* text = static_cast<QPlainTextEdit*>(lure->widgetOf("Text1"));
    EXPECT_TRUE(text->toPlainText().startsWith(QStringLiteral("YOUR LIFE")));
    EXPECT_EQ(text->toPlainText(),
              QString::fromStdString(host_->screens().loaded(FormId::Form6)->ctl("Text1").text)
                  .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

TEST_F(QtHostTest, TheCloseBoxEndsTheGame) {
    make();
    host_->window(FormId::Form1)->close();
    EXPECT_EQ(ends_, 1);
    EXPECT_TRUE(host_->screens().ended());
    EXPECT_FALSE(host_->window(FormId::Form1)->isVisible());
    EXPECT_FALSE(host_->click(FormId::Form1, "Command1"));

    make();
    EXPECT_TRUE(host_->click(FormId::Form1, "Command2"));  // THE END
    EXPECT_EQ(ends_, 2);
}

}  // namespace
}  // namespace mogumo
