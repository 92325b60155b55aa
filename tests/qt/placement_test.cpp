#include <gtest/gtest.h>

#include "platform/qt/window_placement.h"

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
        // Frames whose bottom and top make the laid-out gap keep the layout.
        {"the layout's own frames", cast, lure, {4, 22, 4, 4}, lure},
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

}  // namespace
}  // namespace mogumo
