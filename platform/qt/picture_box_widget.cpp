#include "platform/qt/picture_box_widget.h"

#include <QPainter>
#include <algorithm>

#include "platform/qt/screen_painter.h"

namespace mogumo {

PictureBoxWidget::PictureBoxWidget(const ScreenPainter& painter, QWidget* parent)
    : QWidget(parent), painter_(painter) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

void PictureBoxWidget::sync(const Control& box, const std::vector<const Control*>& inside) {
    bool changed = box.backColour.value_or(0x00FFFFFF) != background_ || inside.size() != inside_.size();
    for (size_t i = 0; !changed && i < inside.size(); ++i)
        changed = !ScreenPainter::samePaint(*inside[i], inside_[i]);
    if (!changed)
        return;
    background_ = box.backColour.value_or(0x00FFFFFF);
    inside_.clear();
    for (const Control* c : inside) inside_.push_back(*c);
    update();
}

void PictureBoxWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), ScreenPainter::colour(background_));
    for (auto it = inside_.rbegin(); it != inside_.rend(); ++it) painter_.paintControl(p, *it, std::nullopt);
}

}  // namespace mogumo
