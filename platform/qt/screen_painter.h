#pragma once

#include <QColor>
#include <QPixmap>
#include <QRect>
#include <QRegion>
#include <QString>
#include <QTextLayout>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/control.h"

class QPainter;

namespace mogumo {

// A control's text as Qt shows it: the game's CR LF line breaks become LF.
QString qText(const std::string& s);

class PictureCache;
class Screen;
struct DrawnRect;

// Paints what a window draws itself: the windowless controls (labels, images,
// shapes, lines) back to front, then the rectangles drawn on its surface.
// Child widgets (buttons, text boxes, the picture box, progress bars) lie
// above all of it.
class ScreenPainter {
public:
    explicit ScreenPainter(const PictureCache& pictures) : pictures_(pictures) {}

    // The window's background and everything windowless of the screen that
    // reaches into `dirty`, in client-area pixels.
    void paint(QPainter& p, const Screen& screen, const QRegion& dirty, const QColor& background) const;

    // One windowless control, with the font the screen gives its labels.
    void paintControl(QPainter& p, const Control& c, const std::optional<Font>& screenFont) const;

    static QRect rectOf(const Control& c);
    // The pixels a rectangle drawn on the surface covers.
    static QRect rectOf(const DrawnRect& r);
    // The pixels a windowless control may touch (its box, a line's extent).
    static QRect bounds(const Control& c);
    // Where a windowless control may show when painted: its bounds, or for a
    // label, wherever its caption may reach.
    static QRect reach(const Control& c);
    // &H00BBGGRR to a Qt colour.
    static QColor colour(Colour c);
    // Whether two states of a windowless control look the same: true only
    // when every field is equal.
    static bool samePaint(const Control& a, const Control& b);

    // The colours a control has when the layout leaves them out.
    static constexpr Colour kButtonFace = 0x00F0F0F0;
    static constexpr Colour kBlack = 0x00000000;

private:
    void paintLabel(QPainter& p, const Control& c, const std::optional<Font>& screenFont) const;
    void paintImage(QPainter& p, const Control& c) const;
    // Text with some of its letters in another face, laid out as drawText
    // would: wrapped between words when asked, aligned left or centred.
    static void drawLaidOut(QPainter& p, const QRect& box, int halign, bool wrap, const QString& text,
                            const QFont& font, const QList<QTextLayout::FormatRange>& formats);
    static void paintShape(QPainter& p, const Control& c);
    static void paintLine(QPainter& p, const Control& c);

    // A stretched picture scaled once to the size it is drawn at.
    const QPixmap& stretched(std::string_view picture, const QPixmap& pic, QSize size, qreal dpr) const;

    const PictureCache& pictures_;
    struct Stretched {
        std::string_view picture;
        QSize size;
        qreal dpr;
        QPixmap pixmap;
    };
    mutable std::vector<Stretched> stretched_;
    // The controls a repaint reaches, with where each reaches.
    mutable std::vector<std::pair<const Control*, QRect>> reaching_;
};

}  // namespace mogumo
