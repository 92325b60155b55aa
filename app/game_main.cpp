// mogumo: the game in its windows.

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <iostream>
#include <memory>
#include <optional>

#include "platform/qt/app_identity.h"
#include "platform/qt/game_recorder.h"
#include "platform/qt/picture_cache.h"
#include "platform/qt/qt_host.h"
#include "platform/qt/script_replay.h"

namespace {

// What the command line asks for; nullopt (after a message) when it is wrong.
struct Choices {
    QString record;
    QString replay;
};

std::optional<Choices> readCommandLine(const QApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Mogumo — 釣りゲーム (a fishing game)"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption record(QStringLiteral("record"),
                                    QStringLiteral("Write the game as it is played to FILE, a script that "
                                                   "mogumo-sim replays exactly."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption replay(
        QStringLiteral("replay"),
        QStringLiteral("Play the script in FILE back in the windows at real speed; "
                       "only F1 and the close box answer."),
        QStringLiteral("FILE"));
    parser.addOption(record);
    parser.addOption(replay);
    parser.process(app);  // --help and --version end here
    if (!parser.positionalArguments().isEmpty()) {
        std::cerr << "mogumo: unexpected argument " << parser.positionalArguments().first().toStdString()
                  << " (see --help)\n";
        return std::nullopt;
    }
    if (parser.isSet(record) && parser.isSet(replay)) {
        std::cerr << "mogumo: --record and --replay cannot be used together\n";
        return std::nullopt;
    }
    return Choices{parser.value(record), parser.value(replay)};
}

// The whole of a script file; nullopt (after a message naming it) when it
// cannot be read.
std::optional<std::string> readScript(const QString& path) {
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        std::cerr << "mogumo: cannot read the script " << path.toStdString()
                  << (QFileInfo(path).isDir() ? ": it is a directory" : "") << '\n';
        return std::nullopt;
    }
    return file.readAll().toStdString();
}

}  // namespace

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

    const std::optional<Choices> choices = readCommandLine(app);
    if (!choices)
        return 1;

    mogumo::ScriptReplay::Plan plan;
    if (!choices->replay.isEmpty()) {
        const std::optional<std::string> script = readScript(choices->replay);
        if (!script)
            return 1;
        const std::string problem = mogumo::ScriptReplay::read(*script, plan);
        if (!problem.empty()) {
            std::cerr << "mogumo: " << choices->replay.toStdString() << ": " << problem << '\n';
            return 2;
        }
    }

    mogumo::GameRecorder recorder;
    if (!choices->record.isEmpty()) {
        const std::string problem = recorder.open(choices->record.toStdString(), plan.clockStart);
        if (!problem.empty()) {
            std::cerr << "mogumo: " << problem << '\n';
            return 1;
        }
    }

    mogumo::PictureCache pictures;
    if (const std::string problem = pictures.load(); !problem.empty()) {
        std::cerr << "mogumo: " << problem << '\n';
        QMessageBox::critical(
            nullptr, QStringLiteral("Mogumo"),
            QStringLiteral("ゲームを始められません: %1").arg(QString::fromStdString(problem)));
        return 1;
    }

    mogumo::QtHost::Options options;
    options.clockStart = plan.clockStart;
    options.recorder = choices->record.isEmpty() ? nullptr : &recorder;
    options.replaying = !choices->replay.isEmpty();
    mogumo::QtHost host(pictures, options);
    std::unique_ptr<mogumo::ScriptReplay> replay;
    if (options.replaying)
        replay = std::make_unique<mogumo::ScriptReplay>(
            host, std::move(plan), [](const std::string& dump) { std::cout << dump << std::endl; });
    host.start();
    if (replay)
        replay->start();
    int status = QApplication::exec();

    if (const std::string problem = recorder.finish(); !problem.empty()) {
        std::cerr << "mogumo: " << problem << '\n';
        status = status ? status : 1;
    }
    return status;
}
