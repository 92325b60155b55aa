#include "platform/qt/key_map.h"

#include <gtest/gtest.h>

#include <QKeyEvent>

namespace mogumo {
namespace {

TEST(KeyMap, GameKeysGetTheirVirtualKeyCodes) {
    EXPECT_EQ(KeyMap::virtualKey(Qt::Key_Shift), 16);
    EXPECT_EQ(KeyMap::virtualKey(Qt::Key_Control), 17);
    EXPECT_EQ(KeyMap::virtualKey(Qt::Key_Alt), 18);
    EXPECT_EQ(KeyMap::virtualKey(Qt::Key_End), 35);
    EXPECT_EQ(KeyMap::virtualKey(Qt::Key_Home), 36);
    EXPECT_EQ(KeyMap::virtualKey(Qt::Key_Left), 37);
    EXPECT_EQ(KeyMap::virtualKey(Qt::Key_Up), 38);
    EXPECT_EQ(KeyMap::virtualKey(Qt::Key_Right), 39);
    EXPECT_EQ(KeyMap::virtualKey(Qt::Key_Down), 40);
    EXPECT_EQ(KeyMap::virtualKey(Qt::Key_A), 65);
    EXPECT_EQ(KeyMap::virtualKey(Qt::Key_K), 75);
    EXPECT_EQ(KeyMap::virtualKey(Qt::Key_Z), 90);
    EXPECT_EQ(KeyMap::virtualKey(Qt::Key_0), 48);
    EXPECT_EQ(KeyMap::virtualKey(Qt::Key_9), 57);
    EXPECT_EQ(KeyMap::virtualKey(Qt::Key_F1), 112);
    EXPECT_EQ(KeyMap::virtualKey(Qt::Key_F12), 123);
    EXPECT_EQ(KeyMap::virtualKey(Qt::Key_Space), 32);
    EXPECT_EQ(KeyMap::virtualKey(Qt::Key_Return), 13);
    EXPECT_EQ(KeyMap::virtualKey(Qt::Key_Enter), 13);
    EXPECT_EQ(KeyMap::virtualKey(Qt::Key_Escape), 27);
    EXPECT_EQ(KeyMap::virtualKey(Qt::Key_Tab), -1);
    EXPECT_EQ(KeyMap::virtualKey(Qt::Key_F13), -1);
    EXPECT_EQ(KeyMap::virtualKey(Qt::Key_Exclam), -1);
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
