#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QScreen>
#include <QStringList>
#include <QWidget>
#include <QWindow>
#include <memory>

#include "core/layout.h"
#include "core/screen.h"
#include "platform/qt/font_map.h"
#include "platform/qt/screen_painter.h"
#include "platform/qt/status_box_widget.h"
#include "ui/layouts/layouts.h"

namespace mogumo {
namespace {

// A status box as the lure screen has it, alone in a window.
struct BoxWindow {
    QWidget window;
    StatusBoxWidget* box;

    BoxWindow() : box(new StatusBoxWidget(&window, true)) {
        const ScreenLayout& lure = layoutOf(FormId::Form6);
        Control text;
        for (const Control& c : lure.controls)
            if (c.name == "Text1")
                text = c;
        box->setGeometry(ScreenPainter::rectOf(text));
        box->setFont(FontMap::fontFor(text.font, lure.screenFont, 1.0));
        window.setFixedSize(box->geometry().bottomRight().x() + 8, box->geometry().bottomRight().y() + 8);
        window.show();
    }

    void show(const QString& text) {
        box->setText(text, FontMap::lentLetters(text, box->font(), 1.0));
        QApplication::sendPostedEvents();
        QApplication::processEvents();
    }

    // What the window system has of the window, as painted so far.
    QImage pixels() const {
        return window.windowHandle()
            ->screen()
            ->grabWindow(window.winId())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
};

QString status(int life, int interest, int distance) {
    return QStringLiteral("YOUR LIFE：%1 魚の興味：%2％\n岸まで%3M").arg(life).arg(interest).arg(distance);
}

// Every text the box is changed to looks exactly as in a box that showed it
// from the start: numbers losing a digit, letters lent another font, a line
// that grows a second paragraph or wraps, and back.
TEST(StatusBox, AChangedTextLooksAsIfItWereShownFromTheStart) {
    QStringList texts;
    for (int step = 0; step < 40; ++step) texts << status(1003 - step, (step * 7) % 101, 12 - step / 3);
    texts << QStringLiteral("ＨＩＴ！！！") << status(5, 100, 0) << QStringLiteral("mm MM 岸まで0M")
          << QString(60, QChar(0x9B5A)) + QStringLiteral(" wraps onto a second line") << QString()
          << status(10, 9, 8) << QStringLiteral("YOUR LIFE：\t9") << QStringLiteral("ａ\u0301 combining")
          << status(9, 9, 8);
    BoxWindow changing;
    for (const QString& text : texts) {
        changing.show(text);
        BoxWindow fresh;
        fresh.show(text);
        ASSERT_EQ(changing.pixels(), fresh.pixels()) << text.toStdString();
        ASSERT_EQ(changing.box->text(), text);
    }
}

}  // namespace
}  // namespace mogumo
