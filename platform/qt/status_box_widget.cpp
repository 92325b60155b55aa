#include "platform/qt/status_box_widget.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTextLine>
#include <algorithm>

namespace mogumo {

namespace {
// The text editor's own margin around its text.
constexpr int kMargin = 4;

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
    : QFrame(parent), area_(new Area(this)), wrap_(wrap) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setFocusPolicy(Qt::NoFocus);
}

StatusBoxWidget::~StatusBoxWidget() = default;

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
    struct Was {
        const QTextLayout* layout;
        QRectF bounds;
        int lines;
    };
    std::vector<Was> was;
    for (const Paragraph& para : paragraphs_)
        was.push_back({para.layout.get(), para.bounds, para.layout->lineCount()});
    layOut(std::move(paragraphs_));
    // Where the lines stay where they were, one line each, only the lines
    // that changed are painted.
    bool sameShape = was.size() == paragraphs_.size();
    for (size_t i = 0; sameShape && i < was.size(); ++i)
        sameShape = was[i].bounds.top() == paragraphs_[i].bounds.top() &&
                    was[i].bounds.height() == paragraphs_[i].bounds.height() && was[i].lines == 1 &&
                    paragraphs_[i].layout->lineCount() == 1;
    if (!sameShape) {
        area_->update();
        return;
    }
    for (size_t i = 0; i < was.size(); ++i)
        if (paragraphs_[i].layout.get() != was[i].layout)
            area_->update(changedPart(was[i].bounds, paragraphs_[i].bounds).translated(-area_->pos()));
}

void StatusBoxWidget::layOut(std::vector<Paragraph> before) {
    paragraphs_.clear();
    const QRect area = textArea();
    qreal y = area.top();
    qsizetype start = 0;
    const QStringList texts = text_.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const QString& text = texts[i];
        Paragraph para{text, formatsOf(formats_, start, text.size()), nullptr, {}};
        start += text.size() + 1;
        // A paragraph that is as it was, where it was, keeps its layout.
        if (i < static_cast<qsizetype>(before.size())) {
            Paragraph& old = before[static_cast<size_t>(i)];
            if (old.text == para.text && old.formats == para.formats && old.bounds.top() == y) {
                y = old.bounds.bottom();
                paragraphs_.push_back(std::move(old));
                continue;
            }
        }
        para.layout = std::make_unique<QTextLayout>(text, font(), this);
        para.layout->setFormats(para.formats);
        // Keeps the shaped glyphs for the paints to come.
        para.layout->setCacheEnabled(true);
        para.layout->beginLayout();
        const qreal top = y;
        qreal width = 0;
        for (QTextLine line = para.layout->createLine(); line.isValid(); line = para.layout->createLine()) {
            line.setLineWidth(wrap_ ? area.width() : 1e6);
            line.setPosition(QPointF(0, y - area.top()));
            y += line.height();
            width = std::max(width, line.naturalTextWidth());
        }
        para.layout->endLayout();
        para.bounds = QRectF(area.left(), top, width, y - top);
        paragraphs_.push_back(std::move(para));
    }
}

QRect StatusBoxWidget::changedPart(const QRectF& before, const QRectF& after) const {
    // The whole of the longer line: finding where the change starts would
    // cost another pass of the shaper, more than painting the line.
    const qreal width = std::max(before.width(), after.width());
    // Glyphs may reach a pixel or two beyond their advance on either side.
    const QRect part = QRectF(after.left() - 2, after.top(), width + 4, after.height())
                           .toAlignedRect()
                           .adjusted(0, -1, 0, 1);
    return part.intersected(areaRect());
}

void StatusBoxWidget::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    area_->setGeometry(areaRect());
    layOut();
}

void StatusBoxWidget::changeEvent(QEvent* event) {
    QFrame::changeEvent(event);
    if (event->type() == QEvent::ContentsRectChange)
        area_->setGeometry(areaRect());
    if (event->type() == QEvent::FontChange || event->type() == QEvent::ContentsRectChange)
        layOut();
}

void StatusBoxWidget::paintText(QPainter& p, const QRegion& dirty) const {
    // Disabled, it still shows the colours of a box in use.
    for (const QRect& r : dirty) p.fillRect(r, palette().color(QPalette::Active, QPalette::Base));
    p.setPen(palette().color(QPalette::Active, QPalette::Text));
    const QPoint origin = textArea().topLeft();
    for (const Paragraph& para : paragraphs_)
        if (dirty.intersects(para.bounds.toAlignedRect().adjusted(-2, 0, 2, 0)))
            para.layout->draw(&p, origin);
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
