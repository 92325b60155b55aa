#include "platform/qt/game_button.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

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

QRect GameButton::captionRect() const {
    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    return fontMetrics().boundingRect(contents, Qt::AlignCenter | Qt::TextShowMnemonic, text());
}

void GameButton::paintEvent(QPaintEvent* event) {
    QPushButton::paintEvent(event);
    if (!hasFocus())
        return;
    // The focus mark: a dotted rectangle just inside the button's edge. On a
    // button hardly taller than its caption it moves out towards the edge,
    // and where it would still cross the caption it breaks off beside it, so
    // that no letter is cut.
    const QRect caption = text().isEmpty() ? QRect() : captionRect().adjusted(-1, -1, 1, 1);
    int inset = height() >= 14 ? 3 : 2;
    const auto mark = [this](int in) { return rect().adjusted(in, in, -in - 1, -in - 1); };
    while (inset > 1 && mark(inset).adjusted(0, 0, 1, 1).intersects(caption) &&
           !mark(inset).adjusted(1, 1, 0, 0).contains(caption))
        --inset;
    QPainter p(this);
    p.setClipRegion(QRegion(rect()).subtracted(QRegion(caption)));
    p.setPen(QPen(palette().color(QPalette::ButtonText), 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(mark(inset));
}

}  // namespace mogumo
