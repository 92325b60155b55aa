#include "platform/qt/side_window.h"

#include <QKeyEvent>
#include <QScreen>
#include <algorithm>

namespace mogumo {

void SideWindow::placeOver(QWidget& w, const QWidget* over) {
    if (!over || w.isVisible())
        return;  // left where the player last had it
    const QRect target = over->frameGeometry();
    QRect r(QPoint(0, 0), w.frameGeometry().size());
    r.moveCenter(target.center());
    if (const QScreen* screen = over->screen()) {
        // On the desktop as a whole, title bar first.
        const QRect desk = screen->availableGeometry();
        r.moveRight(std::min(r.right(), desk.right()));
        r.moveBottom(std::min(r.bottom(), desk.bottom()));
        r.moveLeft(std::max(r.left(), desk.left()));
        r.moveTop(std::max(r.top(), desk.top()));
    }
    w.move(r.topLeft());
}

void SideWindow::showOver(const QWidget* over) {
    placeOver(*this, over);
    show();
    raise();
    activateWindow();
}

void SideWindow::keyPressEvent(QKeyEvent* event) {
    // Also where no window manager gives it a close box.
    if (event->key() == Qt::Key_Escape || (closeKey_ && event->key() == closeKey_)) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void SideWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (onClosed_)
        onClosed_();
}

}  // namespace mogumo
