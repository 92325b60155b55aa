// The real host on a clock the test moves by hand: its windows, which of them
// has the keyboard as the game goes from screen to screen, keys and buttons
// pressed from the keyboard, the help viewer, and waking on time.

#include "platform/qt/qt_host.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QWindow>
#include <memory>

#include "core/step_gate.h"
#include "platform/qt/catch_book_window.h"
#include "platform/qt/help_window.h"
#include "platform/qt/screen_painter.h"
#include "platform/qt/screen_window.h"
#include "platform/qt/shot.h"
#include "qt_fixture.h"

namespace mogumo {
namespace {

class QtHostTest : public ::testing::Test {
protected:
    void SetUp() override { make(); }
    void TearDown() override {
        host_.reset();
        settle();
    }

    void make(QUrl help = {}, uint32_t clock = 100000, book::BookKeeper* book = nullptr) {
        QtHost::Options o;
        o.book = book;
        o.record = true;
        o.clockStart = clock_ = clock;
        o.realClock = [this] { return real_; };
        o.onEnd = [this] { ++ends_; };
        o.helpUrl = std::move(help);
        host_ = std::make_unique<QtHost>(testPictures(), o);
        host_->start();
        settle();
    }

    // Lets the window system's activations and focus changes arrive.
    static void settle() {
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    }

    // Moves real time on, waking the host whenever it asked to be woken.
    void runFor(uint64_t ms) {
        runHostFor(*host_, real_, ms);
        settle();
    }

    ScreenWindow* win(FormId form) const { return host_->window(form); }
    GameState& state() { return host_->screens().state(); }

    static void sendKey(QWidget* to, int key, QEvent::Type type = QEvent::KeyPress, bool autoRepeat = false) {
        QKeyEvent e(type, key, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(to, &e);
        settle();
    }
    // The key goes where the application sends it: to the focus widget.
    static void press(int key, QEvent::Type type = QEvent::KeyPress, bool autoRepeat = false) {
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        sendKey(QApplication::focusWidget(), key, type, autoRepeat);
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

    uint64_t real_ = 0;  // the game clock reads clock_ + real_ when caught up
    uint32_t clock_ = 100000;
    int ends_ = 0;
    std::unique_ptr<QtHost> host_;
};

// The keyboard starts on each screen's marked button, or on the played
// screen's window itself, whose controls never take it.
TEST_F(QtHostTest, EveryScreenTakesTheKeysAsItOpens) {
    expectKeysWith(FormId::Form1, "Command1");
    toCastScreen();
    expectKeysWith(FormId::Form5, "cast");
    EXPECT_EQ(win(FormId::Form5)->widgetOf("Text1")->focusPolicy(), Qt::NoFocus);  // disabled text box

    ASSERT_TRUE(host_->click(FormId::Form5, "cast"));
    expectKeysWith(FormId::Form6);
    for (QWidget* child : win(FormId::Form6)->findChildren<QWidget*>())
        EXPECT_EQ(child->focusPolicy(), Qt::NoFocus) << child->metaObject()->className();
    press(Qt::Key_End);  // the game-over wait, then the results
    EXPECT_EQ(state().PlayerLife, 0);
    runFor(3200);
    expectKeysWith(FormId::Form4, "Text1");

    ASSERT_TRUE(host_->click(FormId::Form4, "Command1"));
    expectKeysWith(FormId::Form1, "Command1");
    ASSERT_TRUE(host_->click(FormId::Form1, "Command1"));
    expectKeysWith(FormId::Form3, "Text1");
}

// While the lure is out the cast screen takes no click and no key, and a
// click on it (or on the splash above the battle) may make the window system
// try to hand it the keyboard: the keys stay with the screen being played,
// Shift and End included, and go back to the cast screen when it is played
// again.
TEST_F(QtHostTest, DisabledWindowsTakeNothingAndLeaveTheKeysWithTheScreenPlayed) {
    const auto clickOn = [](ScreenWindow* w) {
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->windowFlags() & Qt::WindowDoesNotAcceptFocus);
        const QPointF at(w->width() / 2.0, 5);
        QMouseEvent down(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                         Qt::NoModifier);
        QMouseEvent up(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                       Qt::NoModifier);
        QApplication::sendEvent(w, &down);
        QApplication::sendEvent(w, &up);
        // What a window system does on a click: it asks for the window.
        w->windowHandle()->requestActivate();
        settle();
    };
    toCastScreen();
    runFor(300);
    ASSERT_TRUE(host_->click(FormId::Form5, "cast"));
    ScreenWindow* cast = win(FormId::Form5);
    EXPECT_FALSE(cast->isEnabled());
    EXPECT_FALSE(host_->click(FormId::Form5, "cast"));
    static_cast<QPushButton*>(cast->widgetOf("cast"))->click();
    sendKey(cast, Qt::Key_F1);
    EXPECT_EQ(host_->helpRequests(), 0);
    EXPECT_EQ(host_->screens().loaded(FormId::Form5)->ctl("Text1").text, "届いた長さは140Ｍです");
    clickOn(cast);
    expectKeysWith(FormId::Form6);
    press(Qt::Key_Shift);
    EXPECT_EQ(state().ReelSpeed, 50);
    for (int i = 0; i < 100 && win(FormId::Form6); ++i) runFor(50);
    ASSERT_EQ(win(FormId::Form6), nullptr);
    ASSERT_TRUE(win(FormId::Form5)->isEnabled());
    expectKeysWith(FormId::Form5, "cast");

    // End cuts the line: the fish is lost and the cast screen opens afresh.
    host_.reset();
    make();
    toBattle();
    clickOn(win(FormId::Form7));
    expectKeysWith(FormId::Form8);
    press(Qt::Key_End);
    runFor(60);
    EXPECT_FALSE(host_->screens().loaded(FormId::Form8)->ctl("Timer1").enabled);
    runFor(20000);
    ASSERT_EQ(win(FormId::Form8), nullptr);
    expectKeysWith(FormId::Form5, "cast");
}

// Keys reach the screen through a focused button; a held key repeats only
// key-downs, and a held Return presses its button once.
TEST_F(QtHostTest, KeysReachTheScreenThroughFocusedButtonsAndRepeatsOnlyPress) {
    toCastScreen();
    press(Qt::Key_Return);  // casts
    expectKeysWith(FormId::Form6);
    press(Qt::Key_Return, QEvent::KeyPress, true);
    EXPECT_FALSE(win(FormId::Form5)->isEnabled());
    GameState& s = state();
    press(Qt::Key_Shift);
    EXPECT_EQ(s.ReelSpeed, 50);
    press(Qt::Key_Shift, QEvent::KeyRelease, true);
    EXPECT_EQ(s.ReelSpeed, 50);
    press(Qt::Key_Shift, QEvent::KeyPress, true);
    press(Qt::Key_Shift, QEvent::KeyRelease);
    EXPECT_EQ(s.ReelSpeed, 0);
    press(Qt::Key_K);
    EXPECT_EQ(s.BoostUses, 1);

    // Held while the keyboard goes to another window, Shift is let go.
    press(Qt::Key_Shift);
    ASSERT_EQ(s.ReelSpeed, 50);
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    settle();
    EXPECT_EQ(s.ReelSpeed, 0);
}

TEST_F(QtHostTest, ReturnAndSpacePressTheFocusedButton) {
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
        make();
        expectKeysWith(FormId::Form1, "Command1");
        for (const auto& [key, type] : c.keys) press(key, type);
        EXPECT_EQ(win(FormId::Form3) != nullptr, c.pressed) << c.what;
    }
}

// F1 opens the document over the played screen, at its section, and Esc gives the keys back;
// a missing document is named and the game goes on.
TEST_F(QtHostTest, HelpOpensOnTheDocumentOrSaysItIsMissing) {
    toCastScreen();
    ASSERT_TRUE(host_->click(FormId::Form5, "cast"));
    expectKeysWith(FormId::Form6);
    press(Qt::Key_F1);
    press(Qt::Key_F1, QEvent::KeyRelease);
    HelpWindow* help = host_->helpWindow();
    ASSERT_NE(help, nullptr);
    ASSERT_TRUE(help->isVisible());
    QUrl atLure = HelpWindow::urlFor(Language::Japanese);  // the game's language, at the screen played
    atLure.setFragment(QStringLiteral("lure"));
    EXPECT_EQ(help->browser()->source(), atLure);
    EXPECT_FALSE(help->browser()->toPlainText().isEmpty());
    EXPECT_EQ(help->notice(), nullptr);
    EXPECT_TRUE(win(FormId::Form6)->frameGeometry().contains(help->frameGeometry().center()));
    EXPECT_EQ(QApplication::activeWindow(), help);
    sendKey(help->browser(), Qt::Key_Escape);
    EXPECT_FALSE(help->isVisible());
    expectKeysWith(FormId::Form6);
    press(Qt::Key_Shift);
    EXPECT_EQ(state().ReelSpeed, 50);

    make(QUrl::fromLocalFile(QStringLiteral("/nonexistent/mogumo_help.html")));
    sendKey(win(FormId::Form1)->widgetOf("Command1"), Qt::Key_F1);  // through the focused button
    EXPECT_EQ(host_->helpRequests(), 1);
    help = host_->helpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_FALSE(help->isVisible());
    ASSERT_NE(help->notice(), nullptr);
    EXPECT_TRUE(help->notice()->text().contains(QStringLiteral("mogumo_help.html")));
    EXPECT_TRUE(host_->click(FormId::Form1, "Command1"));
    help->notice()->close();
}

// Started 400 ms before the tick counter wraps, the steps go on across it.
TEST_F(QtHostTest, LureStepsRunAtTheirDueMillisecondHoweverLateOrEarlyTheWakeComes) {
    make({}, 0xFFFFFFFFu - 400);
    toCastScreen();
    runFor(300);
    ASSERT_TRUE(host_->click(FormId::Form5, "cast"));
    GameState& s = state();
    for (int step = 0; step < 10; ++step) {
        // The host sleeps until the step gate opens, waking for nothing between.
        const auto next = host_->nextWakeAt();
        ASSERT_TRUE(next.has_value());
        const uint32_t gate = firstDueTick(s.LastTick);
        ASSERT_EQ(static_cast<uint32_t>(clock_ + *next), gate);
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
    EXPECT_LT(static_cast<uint32_t>(s.LastTick), 1000u) << "the counter never wrapped";
}

// Each step repaints only what changed, a rectangle at a time: what the window
// shows is then exactly a fresh picture of the screen, the fish jumping about,
// the lure sinking and rising on its line and the status changing, up to the
// bite's rectangles.
TEST_F(QtHostTest, AfterEveryStepTheLureWindowShowsWhatAFreshPictureWould) {
    toCastScreen();
    ASSERT_TRUE(host_->click(FormId::Form5, "cast"));
    // A picture never shows the status box's sunken frame: left out of both.
    const QRect box = ScreenPainter::rectOf(host_->screens().loaded(FormId::Form6)->ctl("Text1"));
    const auto withoutBoxFrame = [box](QImage image) {
        image = image.convertToFormat(QImage::Format_RGB32);
        QPainter p(&image);
        p.setClipRegion(QRegion(box).subtracted(QRegion(box.adjusted(2, 2, -2, -2))));
        p.fillRect(box, Qt::magenta);
        return image;
    };
    const auto shown = [](QWidget* w) {
        return w->windowHandle()
            ->screen()
            ->grabWindow(w->winId())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    for (int step = 0; step < 60 && win(FormId::Form6); ++step) {
        if (step == 20)
            sendKey(win(FormId::Form6), Qt::Key_Shift);
        if (step == 40) {
            // The fish comes to the lure.
            Control& uo = host_->screens().loaded(FormId::Form6)->ctl("uo");
            uo.left = host_->screens().loaded(FormId::Form6)->ctl("rua").left - 60;
            uo.top = host_->screens().loaded(FormId::Form6)->ctl("rua").top - 60;
        }
        runFor(51);
        QApplication::sendPostedEvents();
        QApplication::processEvents();
        ScreenWindow* w = win(FormId::Form6);
        if (!w)
            break;
        ASSERT_EQ(withoutBoxFrame(shown(w)),
                  withoutBoxFrame(renderScreen(*host_->screens().loaded(FormId::Form6), testPictures())))
            << "step " << step;
    }
}

TEST_F(QtHostTest, TheCloseBoxEndsTheGame) {
    win(FormId::Form1)->close();
    EXPECT_EQ(ends_, 1);
    EXPECT_TRUE(host_->screens().ended());
    EXPECT_FALSE(win(FormId::Form1)->isVisible());
    EXPECT_FALSE(host_->click(FormId::Form1, "Command1"));

    make();
    EXPECT_TRUE(host_->click(FormId::Form1, "Command2"));  // THE END
    EXPECT_EQ(ends_, 2);
}

// One fish landed at the pond with F2 pressed on every screen on the way:
// the book opens and closes over any screen, shows the fish and ？？？ for the
// rest, follows the results with the fish's row marked, and the game's record
// (its dumps at each screen and at the end) is the one a game without a book
// and without F2 makes.
TEST_F(QtHostTest, F2OpensTheCatchBookAndTheGameNeverHearsOfIt) {
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("book.json")).toStdString();
    book::CatchBookFile(path).record(book::Landing{38, 46310, 15820, 3}, {2026, 1, 2});
    std::vector<std::string> troubles;
    book::BookKeeper keeper(path, [&](auto, const std::string& detail) { troubles.push_back(detail); });
    std::string records[2];
    for (bool withBook : {true, false}) {
        SCOPED_TRACE(withBook ? "with the book" : "without");
        make({}, 100000, withBook ? &keeper : nullptr);
        const auto f2 = [&](FormId over) {
            if (!withBook)
                return;
            const CatchBookWindow* before = host_->bookWindow();
            QWidget* const keys = QApplication::focusWidget();
            EXPECT_EQ(QApplication::activeWindow(), win(over));
            press(Qt::Key_F2);
            press(Qt::Key_F2, QEvent::KeyRelease);
            ASSERT_NE(host_->bookWindow(), nullptr);
            EXPECT_TRUE(host_->bookWindow()->isVisible());
            if (!before) {
                EXPECT_TRUE(host_->bookWindow()->rowText(38).startsWith(QStringLiteral("乙姫 ×1")));
                EXPECT_TRUE(host_->bookWindow()->rowText(38).contains(QStringLiteral("46310g 15820mm 海")));
                EXPECT_EQ(host_->bookWindow()->rowText(0), QStringLiteral("？？？ "));
                EXPECT_TRUE(host_->bookWindow()->totalsText().contains(QStringLiteral("釣った魚: 1匹")));
            }
            press(Qt::Key_F2);
            EXPECT_FALSE(host_->bookWindow()->isVisible());
            settle();
            EXPECT_EQ(QApplication::focusWidget(), keys) << "the keys go back where they were";
        };
        f2(FormId::Form1);
        toBattle();
        f2(FormId::Form8);
        host_->screens().loaded(FormId::Form8)->ctl("uoyosu").top = -485;
        runFor(3100);
        ASSERT_EQ(state().CatchTotals[0], 1);
        f2(FormId::Form5);
        ASSERT_TRUE(host_->click(FormId::Form5, "cast"));
        ASSERT_TRUE(host_->keyDown(FormId::Form6, 35));
        runFor(3100);
        ASSERT_NE(win(FormId::Form4), nullptr);
        f2(FormId::Form4);
        EXPECT_TRUE(!host_->bookWindow() || !host_->bookWindow()->isVisible())
            << "not before the results close";
        ASSERT_TRUE(host_->click(FormId::Form4, "Command1"));
        settle();
        if (withBook) {
            ASSERT_NE(host_->bookWindow(), nullptr);
            EXPECT_TRUE(host_->bookWindow()->isVisible());
            EXPECT_TRUE(host_->bookWindow()->rowMarked(state().SpeciesIndex));
            EXPECT_FALSE(host_->bookWindow()->rowMarked(38));
        }
        records[withBook ? 0 : 1] = host_->play().record();
    }
    const int species = state().SpeciesIndex;
    EXPECT_TRUE(records[0] == records[1]) << "F2 or the book changed the record";
    EXPECT_EQ(keeper.book().landed, 2);
    EXPECT_EQ(keeper.book().species[static_cast<size_t>(species)].landed, 1);
    EXPECT_TRUE(troubles.empty());
}

}  // namespace
}  // namespace mogumo
