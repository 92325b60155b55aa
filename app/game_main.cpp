// mogumo: the game in its windows.

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <iostream>

#include "platform/qt/app_identity.h"
#include "platform/qt/picture_cache.h"
#include "platform/qt/qt_host.h"

int main(int argc, char** argv) {
    // Windows must land where the game puts them; under Wayland that takes
    // XWayland.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
    QApplication app(argc, argv);
    mogumo::setApplicationIdentity();
    // Windows come and go between screens; only the game says when it ends.
    QApplication::setQuitOnLastWindowClosed(false);

    // --- command line -------------------------------------------------------
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Mogumo — 釣りゲーム (a fishing game)"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(app);
    // --- end of command line ------------------------------------------------

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
