// mogumo: the game in its windows.

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "platform/qt/command_line.h"
#include "platform/qt/game_launch.h"
#include "platform/qt/game_recorder.h"
#include "platform/qt/player_language.h"
#include "platform/qt/qt_host.h"
#include "platform/qt/screen_painter.h"
#include "script/book_keeper.h"
#include "script/session.h"

namespace {

// Writes an answer of the command line; status 1 when it cannot be written.
int answer(const std::string& text) {
    if (std::fputs(text.c_str(), stdout) < 0 || std::fflush(stdout) != 0) {
        std::perror("mogumo: cannot write to standard output");
        return 1;
    }
    return 0;
}

// Where the player's catch book is kept; none for --no-catch-book and for a
// watched game, which is not the player's.
std::optional<std::string> bookPath(const mogumo::CommandLine& line) {
    if (line.noCatchBook || line.replay)
        return std::nullopt;
    if (line.catchBook)
        return line.catchBook;
    std::optional<std::string> path = mogumo::book::defaultBookPath();
    if (!path)
        std::cerr << "mogumo: no home folder to keep the catch book in; the game keeps none\n";
    return path;
}

// A trouble the game goes on after (a record or a catch book that cannot be
// written or read), said in a box that stays out of the game's way: shown
// from the event loop (from any thread), over the game's windows; troubles
// while it is up are added to it.
void sayAside(const QString& text) {
    QMetaObject::invokeMethod(
        qApp,
        [text] {
            static QPointer<QMessageBox> box;
            if (box) {
                box->setText(box->text() + QStringLiteral("\n\n") + text);
                return;
            }
            box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Mogumo"), text);
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->setModal(false);
            box->show();
            box->raise();
        },
        Qt::QueuedConnection);
}

}  // namespace

int main(int argc, char** argv) {
    const mogumo::CommandLine line = mogumo::readCommandLine(argc, argv);
    switch (line.action) {
        case mogumo::CommandLine::Action::Help: return answer(mogumo::usageText());
        case mogumo::CommandLine::Action::Version: return answer("mogumo " MOGUMO_VERSION "\n");
        case mogumo::CommandLine::Action::Error: std::cerr << "mogumo: " << line.error << '\n'; return 1;
        case mogumo::CommandLine::Action::Play: break;
    }

    // A recorded game must play to its end before any window opens.
    mogumo::script::RecordedGame replay;
    if (line.replay) {
        replay = mogumo::script::openRecordedGame(*line.replay);
        if (replay.fault != mogumo::script::RecordedGame::Fault::None) {
            std::cerr << "mogumo: " << replay.problem << '\n';
            return replay.fault == mogumo::script::RecordedGame::Fault::Unreadable ? 1 : 2;
        }
    }

    const std::optional<std::string> bookFile = bookPath(line);
    if (bookFile && std::filesystem::is_directory(*bookFile)) {
        std::cerr << "mogumo: the catch book " << *bookFile << " is a directory, not a file\n";
        return 1;
    }

    // Windows must land where the game puts them; under Wayland that takes
    // XWayland.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    if (std::string why; !mogumo::displayReachable(why)) {
        std::cerr << "mogumo: " << why << '\n';
        return 1;
    }

    mogumo::GameRecorder recorder;
    if (line.record) {
        const std::string problem = recorder.open(*line.record);
        if (!problem.empty()) {
            std::cerr << "mogumo: " << problem << '\n';
            return 1;
        }
    }

    const mogumo::Language language = line.language.value_or(mogumo::systemLanguage());

    mogumo::GameLaunch::beforeApplication();
    QApplication app(argc, argv);
    // A record that can no longer be written is said at once, in the game too;
    // the game goes on.
    std::atomic<bool> recordFailed = false;
    recorder.setOnFailure([&recordFailed, language](const std::string& problem) {
        recordFailed = true;
        std::cerr << "mogumo: " << problem << '\n';
        sayAside(mogumo::qText("記録を書けません。ゲームは続きます。\n" + problem, language));
    });

    std::optional<mogumo::book::BookKeeper> book;
    if (bookFile) {
        book.emplace(
            *bookFile, [language](mogumo::book::BookKeeper::Trouble trouble, const std::string& detail) {
                std::cerr << "mogumo: " << detail << '\n';
                sayAside(mogumo::qText(trouble == mogumo::book::BookKeeper::Trouble::Read
                                           ? "釣果帳を読めませんでした。ゲームは続きます。\n" + detail
                                           : "釣果帳を保存できません。ゲームは続きます。\n" + detail,
                                       language));
            });
        book->load();
    }

    mogumo::QtHost::Options options;
    options.clockStart = replay.clockStart;
    options.language = language;
    options.book = book ? &*book : nullptr;
    if (line.record) {
        options.record = true;
        options.onRecord = [&recorder](const std::string& lines) { recorder.write(lines); };
    }
    options.onDump = [](const std::string& state) { std::cout << state << std::endl; };
    mogumo::GameLaunch launch;
    if (const std::string problem = launch.open(options); !problem.empty()) {
        std::cerr << "mogumo: " << problem << '\n';
        QMessageBox::critical(nullptr, QStringLiteral("Mogumo"),
                              mogumo::qText("ゲームを始められません: " + problem, language));
        return 1;
    }
    mogumo::QtHost& host = launch.host();
    // The replay starts at the first wake, in the event loop: a script that
    // ends the game at once must find a loop to quit.
    if (replay.lines)
        host.watch(std::move(replay.lines));
    host.start();
    int status = QApplication::exec();
    host.play().finishRecord();

    if (const std::string problem = recorder.finish(); !problem.empty()) {
        if (!recordFailed)
            std::cerr << "mogumo: " << problem << '\n';
        status = status ? status : 1;
    }
    return status;
}
