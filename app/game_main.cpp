// mogumo: the game in its windows.

#include <QApplication>
#include <QMessageBox>
#include <cstdlib>
#include <iostream>

#include "platform/qt/picture_cache.h"
#include "platform/qt/qt_host.h"

int main(int argc, char** argv) {
    // Windows must land where the game puts them; under Wayland that takes
    // XWayland.
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("mogumo"));
    // Windows come and go between screens; only the game says when it ends.
    QApplication::setQuitOnLastWindowClosed(false);

    mogumo::PictureCache pictures;
    const std::string problem = pictures.load();
    if (!problem.empty()) {
        std::cerr << "mogumo: " << problem << '\n';
        QMessageBox::critical(
            nullptr, QStringLiteral("Mogumo"),
            QStringLiteral("ゲームを始められません: %1").arg(QString::fromStdString(problem)));
        return 1;
    }

    mogumo::QtHost host(pictures);
    host.start();
    return QApplication::exec();
}
