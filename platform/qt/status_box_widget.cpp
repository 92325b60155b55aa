#include "platform/qt/status_box_widget.h"

#include <QPainter>
#include <QTextLine>

namespace mogumo {

namespace {
// The text editor's own margin around its text.
constexpr int kMargin = 4;
}  // namespace

StatusBoxWidget::StatusBoxWidget(QWidget* parent, bool wrap) : QFrame(parent), wrap_(wrap) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setFocusPolicy(Qt::NoFocus);
}

void StatusBoxWidget::setText(const QString& text, const QList<QTextLayout::FormatRange>& formats) {
    if (text == text_ && formats == formats_)
        return;
    text_ = text;
    formats_ = formats;
    update();
}

void StatusBoxWidget::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    // Disabled, it still shows the colours of a box in use.
    p.fillRect(contentsRect(), palette().color(QPalette::Active, QPalette::Base));
    p.setPen(palette().color(QPalette::Active, QPalette::Text));
    const QRect area = contentsRect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
    p.setClipRect(contentsRect());
    qreal y = area.top();
    qsizetype start = 0;
    for (const QString& paragraph : text_.split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font(), this);
        QList<QTextLayout::FormatRange> own;
        for (QTextLayout::FormatRange run : formats_) {
            run.start -= static_cast<int>(start);
            if (run.start >= 0 && run.start < paragraph.size())
                own.append(run);
        }
        layout.setFormats(own);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(wrap_ ? area.width() : 1e6);
            line.setPosition(QPointF(0, y - area.top()));
            y += line.height();
        }
        layout.endLayout();
        layout.draw(&p, area.topLeft());
        start += paragraph.size() + 1;
    }
    QFrame::paintEvent(event);
}

}  // namespace mogumo
