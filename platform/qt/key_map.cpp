#include "platform/qt/key_map.h"

#include <QKeyEvent>

#include "core/keys.h"

namespace mogumo {

int KeyMap::virtualKey(int qtKey) {
    // Letters and digits share their codes with Qt.
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return qtKey;
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
        return 112 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
        case Qt::Key_Shift: return 16;
        case Qt::Key_Control: return 17;
        case Qt::Key_Alt: return 18;
        case Qt::Key_End: return 35;
        case Qt::Key_Home: return 36;
        case Qt::Key_Left: return 37;
        case Qt::Key_Up: return 38;
        case Qt::Key_Right: return 39;
        case Qt::Key_Down: return 40;
        case Qt::Key_Space: return 32;
        case Qt::Key_Return:
        case Qt::Key_Enter: return 13;
        case Qt::Key_Escape: return 27;
        default: return -1;
    }
}

KeyMap::Mapped KeyMap::map(const QKeyEvent& event) {
    const int code = virtualKey(event.key());
    if (!isGameKey(code))
        return {};
    if (event.type() == QEvent::KeyPress)
        return {Action::Down, code};
    if (event.type() == QEvent::KeyRelease && !event.isAutoRepeat())
        return {Action::Up, code};
    return {};
}

}  // namespace mogumo
