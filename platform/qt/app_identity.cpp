#include "platform/qt/app_identity.h"

#include <QApplication>

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

void setApplicationIdentity() {
    QCoreApplication::setApplicationName(QStringLiteral("mogumo"));
    QCoreApplication::setApplicationVersion(applicationVersion());
    QGuiApplication::setDesktopFileName(desktopId());
    QApplication::setWindowIcon(applicationIcon());
}

}  // namespace mogumo
