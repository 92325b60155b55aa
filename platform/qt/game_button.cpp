#include "platform/qt/game_button.h"

#include <QKeyEvent>
#include <QPainter>

namespace mogumo {

void GameButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        // A held Return presses once: the screen the press opens must not
        // take the repeats as presses of its own buttons.
        if (!event->isAutoRepeat())
            click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void GameButton::paintEvent(QPaintEvent* event) {
    QPushButton::paintEvent(event);
    if (!hasFocus())
        return;
    // The focus mark: a dotted rectangle just inside the button's edge.
    QPainter p(this);
    QPen pen(palette().color(QPalette::ButtonText), 1, Qt::DotLine);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const int inset = height() >= 14 ? 3 : 2;
    p.drawRect(rect().adjusted(inset, inset, -inset - 1, -inset - 1));
}

}  // namespace mogumo
