#include "platform/qt/app_identity.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

#include "mogumo_version.h"

// Outside any namespace, as Qt's resource initialiser needs.
static void initIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace mogumo {

QString applicationVersion() {
    return QStringLiteral(MOGUMO_VERSION);
}

QString desktopId() {
    return QStringLiteral(MOGUMO_DESKTOP_ID);
}

QIcon applicationIcon() {
    static const bool registered = [] {
        initIconResources();
        return true;
    }();
    (void)registered;
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/mogumo-%1.png").arg(size), QSize(size, size));
    return icon;
}

namespace {

// Watches the application for the first paint of a window, then sets the
// game's icon from a low-priority event, and goes.
class IconAfterFirstPaint : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow()) {
            QCoreApplication::instance()->removeEventFilter(this);
            QCoreApplication::postEvent(this, new QEvent(QEvent::User), Qt::LowEventPriority);
        }
        return false;
    }

    void customEvent(QEvent*) override {
        QApplication::setWindowIcon(applicationIcon());
        deleteLater();
    }
};

}  // namespace

void setApplicationIdentity() {
    QCoreApplication::setApplicationName(QStringLiteral("mogumo"));
    QCoreApplication::setApplicationVersion(applicationVersion());
    QGuiApplication::setDesktopFileName(desktopId());
    QCoreApplication::instance()->installEventFilter(new IconAfterFirstPaint(QCoreApplication::instance()));
}

}  // namespace mogumo
