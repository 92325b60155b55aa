#include "platform/qt/key_map.h"

#include <gtest/gtest.h>

#include <QKeyEvent>

namespace mogumo {
namespace {

// The keys the game reacts to, and one it has no code for.
TEST(KeyMap, TheGamesKeysGetTheirCodes) {
    EXPECT_EQ(KeyMap::virtualKey(Qt::Key_End), 35);
    EXPECT_EQ(KeyMap::virtualKey(Qt::Key_K), 75);
    EXPECT_EQ(KeyMap::virtualKey(Qt::Key_F1), 112);
    EXPECT_EQ(KeyMap::virtualKey(Qt::Key_Tab), -1);
}

TEST(KeyMap, HeldKeysRepeatAsKeyDownsOnly) {
    const QKeyEvent press(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
    const QKeyEvent repeatPress(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier, QString(), true);
    const QKeyEvent repeatRelease(QEvent::KeyRelease, Qt::Key_Shift, Qt::ShiftModifier, QString(), true);
    const QKeyEvent release(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
    EXPECT_EQ(KeyMap::map(press).action, KeyMap::Action::Down);
    EXPECT_EQ(KeyMap::map(press).code, 16);
    EXPECT_EQ(KeyMap::map(repeatPress).action, KeyMap::Action::Down);
    EXPECT_EQ(KeyMap::map(repeatRelease).action, KeyMap::Action::None);
    EXPECT_EQ(KeyMap::map(release).action, KeyMap::Action::Up);
    EXPECT_EQ(KeyMap::map(QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier)).action,
              KeyMap::Action::None);
}

}  // namespace
}  // namespace mogumo
