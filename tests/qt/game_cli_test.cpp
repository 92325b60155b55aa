// The mogumo program's command line: what it refuses before the game starts,
// and a replay that plays a short game to its end.

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <fstream>

#include "platform/qt/game_recorder.h"

namespace mogumo {
namespace {

struct Outcome {
    int status;
    std::string out, err;
};

Outcome runGame(const QStringList& args) {
    QProcess game;
    game.setProcessEnvironment([] {
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return env;
    }());
    game.start(QStringLiteral(MOGUMO_GAME_EXE), args);
    if (!game.waitForFinished(20000)) {
        game.kill();
        game.waitForFinished();
        return {-1, {}, "did not finish"};
    }
    return {game.exitCode(), game.readAllStandardOutput().toStdString(),
            game.readAllStandardError().toStdString()};
}

QString write(const QTemporaryDir& dir, const char* name, const std::string& text) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    std::ofstream(path.toStdString(), std::ios::binary) << text;
    return path;
}

TEST(GameCommandLine, RefusesWhatItCannotDoBeforeTheGameStarts) {
    QTemporaryDir dir;
    const QString bad = write(dir, "bad.txt", "click Form1.Command1\nclick Form1.Command1\n");
    const QString good = write(dir, "good.txt", "dump\n");
    struct Case {
        QStringList args;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {{"--record", dir.filePath("no/such/dir/r.txt")}, 1, "no/such/dir/r.txt"},
        {{"--record", dir.path()}, 1, "cannot write the record"},
        {{"--replay", bad}, 2, "bad.txt: line 2: Form1 is not loaded"},
        {{"--replay", dir.path()}, 1, "it is a directory"},
        {{"--replay", dir.filePath("missing.txt")}, 1, "missing.txt"},
        {{"--replay", good, "--record", dir.filePath("r.txt")}, 1, "cannot be used together"},
        {{"stray"}, 1, "unexpected argument stray"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const Outcome o = runGame(c.args);
        EXPECT_EQ(o.status, c.status) << o.err;
        EXPECT_NE(o.err.find(c.message), std::string::npos) << o.err;
    }
}

TEST(GameCommandLine, TellsItsVersionAndReplaysAGameToItsEnd) {
    const Outcome version = runGame({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "mogumo " MOGUMO_VERSION "\n");

    QTemporaryDir dir;
    const QString script = write(dir, "end.txt", "run 120\nclick Form1.Command2\ndump\n");
    const Outcome replay = runGame({"--replay", script});
    EXPECT_EQ(replay.status, 0) << replay.err;
    EXPECT_EQ(replay.out, "{\"ended\":true,\"t\":100120}\n");
}

TEST(GameRecorder, AFileThatCannotTakeTheRecordIsReported) {
    GameRecorder recorder;
    ASSERT_EQ(recorder.open("/dev/full", 100000), "");
    recorder.time(script::Verb::Run, 51);
    script::Command click;
    click.verb = script::Verb::Click;
    click.control = "Command1";
    recorder.input(click);
    EXPECT_NE(recorder.finish().find("cannot write the record /dev/full"), std::string::npos);
}

}  // namespace
}  // namespace mogumo
