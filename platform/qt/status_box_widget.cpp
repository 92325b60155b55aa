#include "platform/qt/status_box_widget.h"

#include <QGlyphRun>
#include <QPaintEvent>
#include <QPainter>
#include <QTextLine>
#include <algorithm>
#include <map>
#include <utility>

namespace mogumo {

namespace {
// The text editor's own margin around its text.
constexpr int kMargin = 4;
// Glyphs may reach a pixel or two beyond their advance on either side.
constexpr int kInkReach = 2;

// The formats of `all` that fall on the paragraph starting at `start`.
QList<QTextLayout::FormatRange> formatsOf(const QList<QTextLayout::FormatRange>& all, qsizetype start,
                                          qsizetype length) {
    QList<QTextLayout::FormatRange> own;
    for (QTextLayout::FormatRange run : all) {
        run.start -= static_cast<int>(start);
        if (run.start >= 0 && run.start < length)
            own.append(run);
    }
    return own;
}

// A letter whose glyph cannot depend on its neighbours or its place in the
// line: no marks, tabs, controls, surrogates or right-to-left letters.
bool plainLetter(QChar c) {
    if (c.isSurrogate() || c.isMark() || c.category() == QChar::Other_Control ||
        c.category() == QChar::Other_Format)
        return false;
    switch (c.direction()) {
        case QChar::DirR:
        case QChar::DirAL:
        case QChar::DirNSM:
        case QChar::DirRLE:
        case QChar::DirRLO:
        case QChar::DirLRE:
        case QChar::DirLRO:
        case QChar::DirPDF:
        case QChar::DirRLI:
        case QChar::DirLRI:
        case QChar::DirFSI:
        case QChar::DirPDI:
        case QChar::DirB:
        case QChar::DirS: return false;
        default: return true;
    }
}

// The glyphs left to right along one line.
bool leftToRight(const QPointF& a, const QPointF& b) {
    return a.y() < b.y() || (a.y() == b.y() && a.x() < b.x());
}
}  // namespace

// The inside of the frame, but for the ring of pixels the frame reaches into
// at some scales: every pixel of it is painted here, so the frame and the
// window below are left alone when only the text changes.
class StatusBoxWidget::Area : public QWidget {
public:
    explicit Area(StatusBoxWidget* box) : QWidget(box), box_(box) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent* event) override { box_->paintArea(event); }

private:
    StatusBoxWidget* box_;
};

StatusBoxWidget::StatusBoxWidget(QWidget* parent, bool wrap)
    : QFrame(parent), area_(new Area(this)), wrap_(wrap), shapes_(&shapesFor(font(), *this)) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setFocusPolicy(Qt::NoFocus);
}

StatusBoxWidget::~StatusBoxWidget() = default;

StatusBoxWidget::Shapes& StatusBoxWidget::shapesFor(const QFont& font, const QPaintDevice& device) {
    // A few fonts at most: kept for the life of the program.
    static std::map<QString, Shapes> all;
    const QString key =
        QStringLiteral("%1/%2/%3").arg(font.key()).arg(device.logicalDpiY()).arg(device.devicePixelRatioF());
    return all[key];
}

QRect StatusBoxWidget::textArea() const {
    return contentsRect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
}

QRect StatusBoxWidget::areaRect() const {
    return contentsRect().adjusted(1, 1, -1, -1);
}

void StatusBoxWidget::setText(const QString& text, const QList<QTextLayout::FormatRange>& formats) {
    if (text == text_ && formats == formats_)
        return;
    text_ = text;
    formats_ = formats;
    const std::vector<Paragraph> was = std::exchange(paragraphs_, layOut(paragraphs_));
    // Where the lines stay where they were, only the glyphs that changed are
    // painted.
    bool sameShape = was.size() == paragraphs_.size();
    for (size_t i = 0; sameShape && i < was.size(); ++i)
        sameShape = was[i].bounds.top() == paragraphs_[i].bounds.top() &&
                    was[i].bounds.height() == paragraphs_[i].bounds.height() &&
                    was[i].lines == paragraphs_[i].lines;
    if (!sameShape) {
        area_->update();
        return;
    }
    for (size_t i = 0; i < was.size(); ++i)
        if (const QRect part = changedPart(was[i], paragraphs_[i]); !part.isEmpty())
            area_->update(part.translated(-area_->pos()));
}

std::vector<StatusBoxWidget::Paragraph> StatusBoxWidget::layOut(const std::vector<Paragraph>& before) {
    std::vector<Paragraph> laidOut;
    qreal y = textArea().top();
    qsizetype start = 0;
    const QStringList texts = text_.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < texts.size(); ++i) {
        Paragraph para{texts[i], formatsOf(formats_, start, texts[i].size()), {}, {}, 0, 0};
        start += texts[i].size() + 1;
        const Paragraph* old =
            i < static_cast<qsizetype>(before.size()) ? &before[static_cast<size_t>(i)] : nullptr;
        if (old && old->bounds.top() == y && old->text == para.text && old->formats == para.formats)
            para = *old;  // as it was, where it was
        else if (!old || old->bounds.top() != y || !compose(para, *old))
            shape(para, y);
        y = para.bounds.bottom();
        laidOut.push_back(std::move(para));
    }
    return laidOut;
}

void StatusBoxWidget::shape(Paragraph& para, qreal top) {
    const QRect area = textArea();
    QTextLayout layout(para.text, font(), this);
    layout.setFormats(para.formats);
    layout.beginLayout();
    qreal y = top;
    qreal width = 0;
    para.lines = 0;
    para.advance = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(wrap_ ? area.width() : 1e6);
        line.setPosition(QPointF(0, y - area.top()));
        y += line.height();
        width = std::max(width, line.naturalTextWidth());
        para.advance = std::max(para.advance, line.horizontalAdvance());
        ++para.lines;
    }
    layout.endLayout();
    para.bounds = QRectF(area.left(), top, width, y - top);
    para.glyphs.clear();
    for (const QGlyphRun& run : layout.glyphRuns()) {
        const int face = faceOf(run);
        const QList<quint32> indexes = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype g = 0; g < indexes.size(); ++g)
            para.glyphs.push_back({indexes[g], face, positions[g], 0});
    }
    std::sort(para.glyphs.begin(), para.glyphs.end(),
              [](const Glyph& a, const Glyph& b) { return leftToRight(a.pos, b.pos); });
    // A glyph reaches to the next one on its line, the last to the line's end.
    for (size_t g = 0; g < para.glyphs.size(); ++g) {
        Glyph& glyph = para.glyphs[g];
        const bool last = g + 1 == para.glyphs.size() || para.glyphs[g + 1].pos.y() != glyph.pos.y();
        glyph.advance = last ? std::max<qreal>(0, para.advance - glyph.pos.x())
                             : para.glyphs[g + 1].pos.x() - glyph.pos.x();
    }
}

bool StatusBoxWidget::compose(Paragraph& para, const Paragraph& was) {
    if (was.lines != 1 || para.text.isEmpty())
        return false;
    // The font lent to each letter, if any: 0 for none.
    lentTo_.assign(static_cast<size_t>(para.text.size()), 0);
    for (const QTextLayout::FormatRange& run : para.formats) {
        const uint16_t lent = lentIndex(run.format);
        for (int at = std::max(run.start, 0);
             at < std::min<qsizetype>(run.start + run.length, para.text.size()); ++at)
            lentTo_[static_cast<size_t>(at)] = lent;
    }
    std::vector<Glyph> glyphs;
    glyphs.reserve(static_cast<size_t>(para.text.size()));
    const qreal baseline = was.glyphs.empty() ? 0 : was.glyphs.front().pos.y();
    qreal x = 0;
    Letter previous;
    for (qsizetype i = 0; i < para.text.size(); ++i) {
        const Letter l = letter(para.text[i], lentTo_[static_cast<size_t>(i)]);
        if (!l.alone || (i > 0 && !pairHolds(previous, l)))
            return false;
        glyphs.push_back({l.index, l.face, QPointF(x, baseline), l.advance});
        x += l.advance;
        previous = l;
    }
    // The line's height and baseline come from its faces: the same faces as
    // before keep them.
    if (const uint64_t faces = facesOf(glyphs); faces == 0 || faces != facesOf(was.glyphs))
        return false;
    // A line that might wrap is left to the shaper.
    if (wrap_ && x + 1 >= textArea().width())
        return false;
    para.glyphs = std::move(glyphs);
    para.lines = 1;
    para.advance = x;
    para.bounds = QRectF(was.bounds.left(), was.bounds.top(), x, was.bounds.height());
    return true;
}

uint16_t StatusBoxWidget::lentIndex(const QTextCharFormat& format) {
    auto it = std::find(shapes_->lentFormats.begin(), shapes_->lentFormats.end(), format);
    if (it == shapes_->lentFormats.end())
        it = shapes_->lentFormats.insert(shapes_->lentFormats.end(), format);
    return static_cast<uint16_t>(it - shapes_->lentFormats.begin() + 1);
}

QList<QTextLayout::FormatRange> StatusBoxWidget::lentFormats(uint16_t lent, int at) const {
    if (!lent)
        return {};
    return {{at, 1, shapes_->lentFormats[lent - 1U]}};
}

StatusBoxWidget::Letter StatusBoxWidget::letter(QChar c, uint16_t lent) {
    const quint32 key = static_cast<quint32>(lent) << 16 | c.unicode();
    if (auto it = shapes_->letters.constFind(key); it != shapes_->letters.constEnd())
        return *it;
    Letter l{false, c, lent, 0, 0, 0};
    if (plainLetter(c)) {
        Paragraph alone{QString(c), lentFormats(lent, 0), {}, {}, 0, 0};
        shape(alone, 0);
        if (alone.lines == 1 && alone.glyphs.size() == 1 && alone.glyphs[0].pos.x() == 0) {
            l.alone = true;
            l.index = alone.glyphs[0].index;
            l.face = alone.glyphs[0].face;
            l.advance = alone.advance;
        }
    }
    return *shapes_->letters.insert(key, l);
}

bool StatusBoxWidget::pairHolds(const Letter& first, const Letter& second) {
    const quint64 key = static_cast<quint64>(first.lent) << 48 | static_cast<quint64>(second.lent) << 32 |
                        static_cast<quint64>(first.c.unicode()) << 16 | second.c.unicode();
    if (auto it = shapes_->pairs.constFind(key); it != shapes_->pairs.constEnd())
        return *it;
    Paragraph both{
        QString(first.c) + second.c, lentFormats(first.lent, 0) + lentFormats(second.lent, 1), {}, {}, 0, 0};
    shape(both, 0);
    // Side by side as each alone: no kerning, no ligature, nothing in between.
    const bool holds = both.lines == 1 && both.glyphs.size() == 2 && both.glyphs[0].index == first.index &&
                       both.glyphs[0].face == first.face && both.glyphs[0].pos.x() == 0 &&
                       both.glyphs[1].index == second.index && both.glyphs[1].face == second.face &&
                       both.glyphs[1].pos.x() == first.advance &&
                       both.advance == first.advance + second.advance;
    shapes_->pairs.insert(key, holds);
    return holds;
}

int StatusBoxWidget::faceOf(const QGlyphRun& run) {
    const Face face{run.rawFont(), run.underline(), run.overline(), run.strikeOut()};
    std::vector<Face>& faces = shapes_->faces;
    auto it = std::find(faces.begin(), faces.end(), face);
    if (it == faces.end())
        it = faces.insert(faces.end(), face);
    return static_cast<int>(it - faces.begin());
}

uint64_t StatusBoxWidget::facesOf(const std::vector<Glyph>& glyphs) {
    uint64_t faces = 0;
    for (const Glyph& g : glyphs) {
        if (g.face >= 64)
            return 0;
        faces |= uint64_t{1} << g.face;
    }
    return faces;
}

QRect StatusBoxWidget::changedPart(const Paragraph& was, const Paragraph& now) const {
    const std::vector<Glyph>& a = was.glyphs;
    const std::vector<Glyph>& b = now.glyphs;
    // The glyphs the same at the start and at the end of both.
    size_t head = 0;
    while (head < a.size() && head < b.size() && a[head] == b[head]) ++head;
    if (head == a.size() && head == b.size())
        return {};
    if (now.lines != 1)
        return now.bounds.toAlignedRect().adjusted(-kInkReach, -1, kInkReach, 1).intersected(areaRect());
    size_t tail = 0;
    while (tail < a.size() - head && tail < b.size() - head &&
           a[a.size() - 1 - tail] == b[b.size() - 1 - tail])
        ++tail;
    // Between them, on one line: from the first changed glyph to the end of
    // the last, in either layout.
    qreal left = 1e9, right = -1e9;
    for (const auto* glyphs : {&a, &b})
        for (size_t g = head; g < glyphs->size() - tail; ++g) {
            left = std::min(left, (*glyphs)[g].pos.x());
            right = std::max(right, (*glyphs)[g].pos.x() + (*glyphs)[g].advance);
        }
    const qreal origin = textArea().left();
    const QRect part =
        QRectF(origin + left - kInkReach, now.bounds.top(), right - left + 2 * kInkReach, now.bounds.height())
            .toAlignedRect()
            .adjusted(0, -1, 0, 1);
    return part.intersected(areaRect());
}

void StatusBoxWidget::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    area_->setGeometry(areaRect());
    paragraphs_ = layOut();
}

void StatusBoxWidget::changeEvent(QEvent* event) {
    QFrame::changeEvent(event);
    if (event->type() == QEvent::ContentsRectChange)
        area_->setGeometry(areaRect());
    if (event->type() == QEvent::FontChange) {
        // Letters shaped in the old font are no guide to the new one.
        shapes_ = &shapesFor(font(), *this);
    }
    if (event->type() == QEvent::FontChange || event->type() == QEvent::ContentsRectChange)
        paragraphs_ = layOut();
}

void StatusBoxWidget::paintText(QPainter& p, const QRegion& dirty) const {
    // Disabled, it still shows the colours of a box in use.
    for (const QRect& r : dirty) p.fillRect(r, palette().color(QPalette::Active, QPalette::Base));
    p.setPen(palette().color(QPalette::Active, QPalette::Text));
    const QPointF origin = textArea().topLeft();
    const QRect reach = dirty.boundingRect().adjusted(-kInkReach, 0, kInkReach, 0);
    // The glyphs that reach into the repaint, a run for each face in turn.
    QList<quint32> indexes;
    QList<QPointF> positions;
    int face = -1;
    const auto flush = [&] {
        if (indexes.isEmpty())
            return;
        const Face& f = shapes_->faces[static_cast<size_t>(face)];
        QGlyphRun run;
        run.setRawFont(f.font);
        run.setGlyphIndexes(indexes);
        run.setPositions(positions);
        run.setUnderline(f.underline);
        run.setOverline(f.overline);
        run.setStrikeOut(f.strikeOut);
        p.drawGlyphRun(origin, run);
        indexes.clear();
        positions.clear();
    };
    for (const Paragraph& para : paragraphs_) {
        if (!dirty.intersects(para.bounds.toAlignedRect().adjusted(-kInkReach, 0, kInkReach, 0)))
            continue;
        for (const Glyph& g : para.glyphs) {
            const qreal x = origin.x() + g.pos.x();
            if (x + g.advance < reach.left() || x > reach.right() + 1)
                continue;
            if (g.face != face) {
                flush();
                face = g.face;
            }
            indexes.append(g.index);
            positions.append(g.pos);
        }
    }
    flush();
}

// The whole box, seldom: when it is shown or uncovered.
void StatusBoxWidget::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.setClipRect(contentsRect());
    paintText(p, QRegion(contentsRect()));
    // The frame's own painter joins this one, clip and all.
    QFrame::paintEvent(event);
}

void StatusBoxWidget::paintArea(QPaintEvent* event) {
    QPainter p(area_);
    // Painted in the box's own coordinates.
    p.translate(-area_->pos());
    paintText(p, event->region().translated(area_->pos()));
}

}  // namespace mogumo
