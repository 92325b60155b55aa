#include "platform/qt/app_identity.h"

#include <gtest/gtest.h>

#include <QApplication>

#include "platform/qt/qt_host.h"
#include "platform/qt/screen_window.h"
#include "qt_fixture.h"

namespace mogumo {
namespace {

// The icon carries every installed size, each the 32 pixel design blown up
// without smoothing: every design pixel becomes a solid block.
TEST(AppIdentityTest, TheIconIsThePixelDesignAtEverySize) {
    const QIcon icon = applicationIcon();
    const QImage design = icon.pixmap(QSize(32, 32)).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(design.size(), QSize(32, 32));
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
    for (int size : {64, 128, 256}) {
        const QImage big = icon.pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(big.size(), QSize(size, size));
        const int k = size / 32;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                ASSERT_EQ(big.pixel(x, y), design.pixel(x / k, y / k)) << size << " px at " << x << "," << y;
    }
    // Transparent corners: the badge is round.
    EXPECT_EQ(qAlpha(design.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(design.pixel(16, 16)), 255);
}

// The game's icon comes once the first window has been painted. Windows whose
// layout names no icon show it; the title window keeps the angler its layout
// gives it.
TEST(AppIdentityTest, WindowsWithoutTheirOwnIconShowTheGameIcon) {
    setApplicationIdentity();
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("mogumo"));

    QtHost::Options o;
    o.realClock = [] { return uint64_t{0}; };
    o.onEnd = [] {};
    QtHost host(testPictures(), o);
    host.start();
    ASSERT_NE(host.window(FormId::Form1), nullptr);
    // The title is painted, then the icon follows behind it.
    for (int round = 0; round < 100 && QApplication::windowIcon().isNull(); ++round)
        QCoreApplication::processEvents();
    ASSERT_FALSE(QApplication::windowIcon().isNull());
    const qint64 gameIcon = QApplication::windowIcon().cacheKey();
    EXPECT_EQ(QApplication::windowIcon().availableSizes().size(), 7);
    EXPECT_NE(host.window(FormId::Form1)->windowIcon().cacheKey(), gameIcon);

    ASSERT_TRUE(host.click(FormId::Form1, "Command1"));
    ASSERT_NE(host.window(FormId::Form3), nullptr);
    EXPECT_EQ(host.window(FormId::Form3)->windowIcon().cacheKey(), gameIcon);
}

}  // namespace
}  // namespace mogumo
