#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/qt/screen_window.h"
#include "platform/qt/window_placement.h"
#include "ui/layouts/layouts.h"

namespace mogumo {
namespace {

using WindowPlacement::laidOutClient;
using WindowPlacement::stackedClientPos;

TEST(WindowPlacementTest, TheLowerWindowSitsJustUnderTheUpperFrame) {
    const QRect cast = laidOutClient(FormId::Form5);  // bottom edge at 262
    const QPoint lure = laidOutClient(FormId::Form6).topLeft();
    const QRect splash = laidOutClient(FormId::Form7);  // bottom edge at 219
    const QPoint battle = laidOutClient(FormId::Form8).topLeft();
    const struct {
        const char* what;
        QRect upper;
        QPoint laidOut;
        QMargins frame;  // left, top, right, bottom
        QPoint expected;
    } cases[] = {
        {"no window manager: client under client", cast, lure, {}, {lure.x(), 262}},
        {"no window manager, battle", splash, battle, {}, {battle.x(), 219}},
        // Frames whose bottom and top make the laid-out gap keep the layout.
        {"the layout's own frames", cast, lure, {4, 22, 4, 4}, lure},
        {"the layout's own frames, battle", splash, battle, {4, 24, 4, 4}, battle},
        {"thin frames", cast, lure, {1, 18, 1, 1}, {lure.x(), 281}},
        {"a title bar only", splash, battle, {0, 20, 0, 0}, {battle.x(), 239}},
        // Wherever the upper window really is, the lower one follows it down.
        {"upper window moved down", cast.translated(0, 40), lure, {4, 22, 4, 4}, {lure.x(), 328}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(stackedClientPos(c.upper, c.laidOut, c.frame, c.frame), c.expected) << c.what;
}

// At scale 2 the client areas keep their logical size, so the laid-out gap
// doubles on the screen, while the frames stay as many device pixels.
TEST(WindowPlacementTest, AtScaleTwoTheFramesCountHalf) {
    const QRect cast = laidOutClient(FormId::Form5);
    const QPoint lure = laidOutClient(FormId::Form6).topLeft();
    const struct {
        const char* what;
        QMargins frame;
        int top;
    } cases[] = {
        {"no frames", {}, 262},
        {"the layout's own frames", {4, 22, 4, 4}, 275},
        {"a thin frame of an odd height: the last device pixel is covered", {1, 20, 1, 1}, 272},
    };
    for (const auto& c : cases)
        EXPECT_EQ(stackedClientPos(cast, lure, c.frame, c.frame, 2.0), QPoint(lure.x(), c.top)) << c.what;
}

TEST(WindowPlacementTest, TheUpperBottomAndTheLowerTopFrameCount) {
    const QRect upper(100, 100, 400, 100);
    EXPECT_EQ(stackedClientPos(upper, {100, 0}, {0, 30, 0, 5}, {0, 20, 0, 9}), QPoint(100, 225));
}

// The facts the windows follow come from the layouts: the lure and battle
// screens are played by keys and lie under the cast screen and the splash,
// and the splash never has the keyboard.
TEST(ScreenFacts, TheWindowsFollowTheLayouts) {
    std::vector<std::string> byKeys, noKeys, pairs;
    for (int i = 0; i < kFormCount; ++i) {
        const auto form = static_cast<FormId>(i);
        const std::string name(layoutOf(form).formName);
        if (ScreenWindow::keysDrivePlay(form))
            byKeys.push_back(name);
        if (!ScreenWindow::takesKeys(form))
            noKeys.push_back(name);
        if (const auto upper = WindowPlacement::upperOf(form))
            pairs.push_back(name + " under " + std::string(layoutOf(*upper).formName));
    }
    EXPECT_EQ(byKeys, (std::vector<std::string>{"Form6", "Form8"}));
    EXPECT_EQ(noKeys, (std::vector<std::string>{"Form7"}));
    EXPECT_EQ(pairs, (std::vector<std::string>{"Form6 under Form5", "Form8 under Form7"}));
}

}  // namespace
}  // namespace mogumo
