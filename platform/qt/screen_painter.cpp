#include "platform/qt/screen_painter.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "core/screen.h"
#include "platform/qt/font_map.h"
#include "platform/qt/picture_cache.h"

namespace mogumo {

namespace {
// An image's single border: 2 pixels a side.
constexpr int kImageBorderPx = 2;

}  // namespace

QString qText(const std::string& s) {
    QString t = QString::fromStdString(s);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return t;
}

namespace {
QRect toQRect(const PixelRect& r) {
    return {r.x, r.y, r.width, r.height};
}
}  // namespace

QRect ScreenPainter::rectOf(const Control& c) {
    return toQRect(c.pixels());
}

QRect ScreenPainter::bounds(const Control& c) {
    if (c.kind == ControlKind::Line) {
        const int pad = c.lineWidthPx + 1;
        return toQRect(spanPixels(c.x1, c.y1, c.x2, c.y2)).adjusted(-pad, -pad, pad, pad);
    }
    return rectOf(c).adjusted(-1, -1, 1, 1);
}

QRect ScreenPainter::reach(const Control& c) {
    if (c.kind != ControlKind::Label)
        return bounds(c);
    // A one-word caption may spill past the label's sides, and an underline
    // below its bottom: the whole band across the window, a label's height
    // deeper.
    const QRect r = rectOf(c);
    return QRect(-(1 << 20), r.top() - 1, 1 << 21, 2 * r.height() + 2);
}

QColor ScreenPainter::colour(Colour c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

bool ScreenPainter::samePaint(const Control& a, const Control& b) {
    // All of it: what a control looks like may depend on any of its fields.
    return a == b;
}

QRect ScreenPainter::rectOf(const DrawnRect& r) {
    return toQRect(spanPixels(r.x1, r.y1, r.x2, r.y2));
}

void ScreenPainter::paint(QPainter& p, const Screen& screen, const QRegion& dirty,
                          const QColor& background) const {
    const auto& controls = screen.controls();
    const std::optional<Font>& screenFont = screen.layout().screenFont;
    // The list runs front to back: painted from the back. A control whose
    // pixels all lie outside the repaint is left alone.
    reaching_.clear();
    for (auto it = controls.rbegin(); it != controls.rend(); ++it)
        if (it->isWindowless() && it->container.empty() && it->visible)
            if (const QRect r = reach(*it); dirty.intersects(r))
                reaching_.push_back({&*it, r});
    // A rectangle at a time: with a plain rectangle to clip to, the painter
    // takes its fast paths for pictures and lines.
    for (const QRect& rect : dirty) {
        p.setClipRect(rect);
        p.fillRect(rect, background);
        for (const auto& [control, r] : reaching_)
            if (r.intersects(rect))
                paintControl(p, *control, screenFont);
        // What the screen drew on its surface covers the windowless controls.
        for (const DrawnRect& drawn : screen.drawings())
            if (const QRect box = rectOf(drawn); rect.intersects(box))
                p.fillRect(box, colour(drawn.colour));
    }
}

void ScreenPainter::paintControl(QPainter& p, const Control& c, const std::optional<Font>& screenFont) const {
    if (!c.visible)
        return;
    switch (c.kind) {
        case ControlKind::Label: paintLabel(p, c, screenFont); break;
        case ControlKind::Image: paintImage(p, c); break;
        case ControlKind::Shape: paintShape(p, c); break;
        case ControlKind::Line: paintLine(p, c); break;
        default: break;
    }
}

void ScreenPainter::paintLabel(QPainter& p, const Control& c, const std::optional<Font>& screenFont) const {
    const QRect r = rectOf(c);
    if (!c.transparent)
        p.fillRect(r, colour(c.backColour.value_or(kButtonFace)));
    QRect textRect = r;
    if (c.border) {
        p.setPen(QPen(colour(kBlack), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        textRect = r.adjusted(2, 1, -2, -1);
    }
    const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    const QFont font = FontMap::fontFor(c.font, screenFont, dpr);
    p.setFont(font);
    p.setPen(colour(c.foreColour.value_or(kBlack)));
    const QFontMetrics fm(font, p.device());
    const QString text = qText(c.text);
    const int halign = c.centred ? Qt::AlignHCenter : Qt::AlignLeft;
    const QList<QTextLayout::FormatRange> lent = FontMap::lentLetters(text, font, dpr);
    // A caption of one line that fits the label, or of one word, stays on
    // its line and is drawn whole, underline and all; a one-word caption may
    // spill past the label's sides, centred as it is.
    const bool oneWord = !text.contains(QLatin1Char(' ')) && !text.contains(QChar(0x3000));
    const bool oneLine =
        !text.contains(QLatin1Char('\n')) && (oneWord || fm.horizontalAdvance(text) <= textRect.width());
    // Longer captions wrap between words and are cut off at the label's
    // bottom, all but the underline of the last line, which lies below the
    // box where the font is taller than the label was made for.
    p.save();
    if (!oneLine)
        p.setClipRect(textRect.adjusted(0, 0, 0, font.underline() ? fm.descent() : 0), Qt::IntersectClip);
    if (lent.isEmpty())
        p.drawText(textRect, halign | Qt::AlignTop | Qt::TextDontClip | (oneLine ? 0 : Qt::TextWordWrap),
                   text);
    else
        drawLaidOut(p, textRect, halign, !oneLine, text, font, lent);
    p.restore();
}

void ScreenPainter::drawLaidOut(QPainter& p, const QRect& box, int halign, bool wrap, const QString& text,
                                const QFont& font, const QList<QTextLayout::FormatRange>& formats) {
    QTextOption option(Qt::Alignment(halign) | Qt::AlignTop);
    option.setWrapMode(wrap ? QTextOption::WordWrap : QTextOption::NoWrap);
    // Lines keep the pitch of the label's own font, whatever a lent letter's.
    const int pitch = QFontMetrics(font, p.device()).lineSpacing();
    int y = 0;
    int start = 0;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QList<QTextLayout::FormatRange> own;
        for (QTextLayout::FormatRange r : formats) {
            if (r.start < start || r.start >= start + paragraph.size())
                continue;
            r.start -= start;
            own.append(r);
        }
        QTextLayout layout(paragraph, font, p.device());
        layout.setTextOption(option);
        layout.setFormats(own);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(box.width());
            line.setPosition(QPointF(0, y));
            y += pitch;
        }
        layout.endLayout();
        layout.draw(&p, box.topLeft());
        start += static_cast<int>(paragraph.size()) + 1;
    }
}

const QPixmap& ScreenPainter::stretched(std::string_view picture, const QPixmap& pic, QSize size,
                                        qreal dpr) const {
    for (const Stretched& s : stretched_)
        if (s.picture == picture && s.size == size && s.dpr == dpr)
            return s.pixmap;
    // A moving sprite is drawn every step at the same few sizes: scaling it
    // once spares the painter's slow transformed path.
    if (stretched_.size() >= 32)
        stretched_.erase(stretched_.begin());
    QPixmap scaled = pic.scaled(size * dpr, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    scaled.setDevicePixelRatio(dpr);
    stretched_.push_back({picture, size, dpr, std::move(scaled)});
    return stretched_.back().pixmap;
}

void ScreenPainter::paintImage(QPainter& p, const Control& c) const {
    const QPixmap* pic = pictures_.pixmap(c.picture);
    if (!pic)
        return;
    const QRect r = rectOf(c);
    const int inset = c.border ? kImageBorderPx : 0;
    const QRect inner = r.adjusted(inset, inset, -inset, -inset);
    // Pixel art stays crisp: nearest-neighbour scaling only.
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (c.stretch)
        p.drawPixmap(inner.topLeft(), stretched(c.picture, *pic, inner.size(),
                                                p.device() ? p.device()->devicePixelRatioF() : 1.0));
    else
        p.drawPixmap(inner.topLeft(), *pic);
    if (c.border) {
        p.setPen(Qt::NoPen);
        p.setBrush(colour(kBlack));
        const QRegion frame = QRegion(r).subtracted(QRegion(inner));
        for (const QRect& band : frame) p.drawRect(band);
    }
}

void ScreenPainter::paintShape(QPainter& p, const Control& c) {
    const QRect r = rectOf(c);
    if (r.isEmpty())
        return;
    if (c.fillColour)
        p.fillRect(r, colour(*c.fillColour));
    p.setPen(QPen(colour(c.borderColour.value_or(kBlack)), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

void ScreenPainter::paintLine(QPainter& p, const Control& c) {
    QPen pen(colour(c.borderColour.value_or(kBlack)), std::max(c.lineWidthPx, 1));
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    p.drawLine(QPointF(c.x1 / kTwipsPerPixel, c.y1 / kTwipsPerPixel),
               QPointF(c.x2 / kTwipsPerPixel, c.y2 / kTwipsPerPixel));
}

}  // namespace mogumo
