#include "platform/qt/progress_widget.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace mogumo {

ProgressWidget::ProgressWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

void ProgressWidget::setRange(float min, float max) {
    if (min == min_ && max == max_)
        return;
    min_ = min;
    max_ = max;
    update();
}

void ProgressWidget::setValue(float value) {
    if (value == value_)
        return;
    value_ = value;
    update();
}

double ProgressWidget::share() const {
    if (!(max_ > min_))
        return 0.0;
    return std::clamp((static_cast<double>(value_) - min_) / (static_cast<double>(max_) - min_), 0.0, 1.0);
}

void ProgressWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, QColor(0xE6, 0xE6, 0xE6));
    const QRect inner = r.adjusted(1, 1, -1, -1);
    const int filled = static_cast<int>(std::lround(share() * inner.width()));
    p.fillRect(QRect(inner.left(), inner.top(), filled, inner.height()), QColor(0x00, 0x00, 0x80));
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

}  // namespace mogumo
