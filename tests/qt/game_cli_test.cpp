// The mogumo program's command line: what it refuses before the game starts,
// and a replay that plays a short game to its end.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QProcess>
#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <future>
#include <iterator>

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
        {{"--record", dir.path()}, 1, "cannot write the record"},
        {{"--replay", bad}, 2, "bad.txt: line 2: Form1 is not loaded"},
        {{"--replay", dir.path()}, 1, "it is a directory"},
        {{"--replay", dir.filePath("missing.txt")}, 1, "missing.txt: No such file or directory"},
        {{"--record="}, 1, "--record needs a file name"},
        {{"--replay", good, "--record", dir.filePath("r.txt")}, 1, "cannot be used together"},
        {{"stray"}, 1, "unexpected argument stray"},
        {{"--lang", "fr"}, 1, "--lang takes ja or en, not 'fr'"},
        {{"--lang"}, 1, "missing value after --lang"},
        {{"--catch-book", dir.path()}, 1, "is a directory, not a file"},
        {{"--catch-book="}, 1, "--catch-book needs a file name"},
        {{"--catch-book", good, "--no-catch-book"}, 1, "cannot be used together"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const Outcome o = runGame(c.args);
        EXPECT_EQ(o.status, c.status) << o.err;
        EXPECT_NE(o.err.find(c.message), std::string::npos) << o.err;
    }
}

TEST(GameCommandLine, ReplaysAGameToItsEnd) {
    QTemporaryDir dir;
    const QString script = write(dir, "end.txt", "run 120\nclick Form1.Command2\ndump\n");
    const Outcome replay = runGame({"--replay", script});
    EXPECT_EQ(replay.status, 0) << replay.err;
    EXPECT_EQ(replay.out, "{\"ended\":true,\"t\":100120}\n");
}

// The shell runs `command` with the game's path in $GAME; the outcome with
// standard output and error.
Outcome runShell(const std::string& command) {
    QTemporaryDir dir;
    const std::string out = dir.filePath(QStringLiteral("out")).toStdString();
    const std::string err = dir.filePath(QStringLiteral("err")).toStdString();
    const std::string line = "GAME='" MOGUMO_GAME_EXE "'; cd '" + dir.path().toStdString() + "' && (" +
                             command + ") > '" + out + "' 2> '" + err + "'";
    const int raw = std::system(line.c_str());
    auto slurp = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(out), slurp(err)};
}

// --help and --version answer with no display at all, and fail into a full
// device; without a display the game says it needs one.
TEST(GameCommandLine, AnswersWithoutADisplay) {
    const std::string bare = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \"$GAME\" ";
    const Outcome help = runShell(bare + "--help");
    EXPECT_EQ(help.status, 0) << help.err;
    EXPECT_EQ(help.out.rfind("Usage: mogumo [options]\n", 0), 0u) << help.out;
    const Outcome version = runShell(bare + "--version");
    EXPECT_EQ(version.status, 0) << version.err;
    EXPECT_EQ(version.out, "mogumo " MOGUMO_VERSION "\n");
    const Outcome play = runShell(bare);
    EXPECT_EQ(play.status, 1);
    EXPECT_EQ(play.err, "mogumo: no display (DISPLAY is not set): the game needs a graphical desktop\n");
    for (const char* option : {"--help", "--version"}) {
        const Outcome full = runShell(bare + option + " > /dev/full");
        EXPECT_EQ(full.status, 1) << option;
    }
}

// The player's book (a garbage one here) is read, and kept aside, by a game
// played with it, and left alone by a watched game and by --no-catch-book.
TEST(GameCommandLine, OnlyAGamePlayedWithTheBookTouchesIt) {
    QTemporaryDir dir;
    const QString end = write(dir, "end.txt", "click Form1.Command2\n");
    const std::string prefix = "mkdir -p '" + dir.path().toStdString() + "/mogumo'; cd '" +
                               dir.path().toStdString() + "'; echo garbage > mogumo/catch-book.json; " +
                               "XDG_DATA_HOME=$PWD QT_QPA_PLATFORM=offscreen \"$GAME\" ";
    const std::string live = " & sleep 1; kill $!; wait; ls mogumo";
    EXPECT_EQ(runShell(prefix + "--replay '" + end.toStdString() + "'; ls mogumo").out, "catch-book.json\n");
    EXPECT_EQ(runShell(prefix + "--no-catch-book" + live).out, "catch-book.json\n");
    const Outcome played = runShell(prefix + live);
    EXPECT_NE(played.out.find("catch-book.json.unreadable-"), std::string::npos) << played.out;
    EXPECT_NE(played.err.find("could not be read"), std::string::npos) << played.err;
}

// File names that are not UTF-8 reach the file system byte for byte.
TEST(GameCommandLine, RecordsAndReplaysUnderAnyFileName) {
    const Outcome replay = runShell(
        "name=$(printf 'r\\351\\377.txt'); printf 'click Form1.Command2\\ndump\\n' > \"$name\" && "
        "QT_QPA_PLATFORM=offscreen \"$GAME\" --replay \"$name\"; s=$?; rm -f -- \"$name\"; exit $s");
    EXPECT_EQ(replay.status, 0) << replay.err;
    EXPECT_EQ(replay.out, "{\"ended\":true,\"t\":100000}\n");
    // A game killed half way leaves its record under its own name, whole lines only.
    const Outcome record = runShell(
        "name=$(printf 'rec\\351\\377.txt'); QT_QPA_PLATFORM=offscreen \"$GAME\" --record \"$name\" & "
        "sleep 1; kill -9 $!; wait; head -n 1 \"$name\"; rm -f -- \"$name\"");
    EXPECT_EQ(record.out, "# A game of Mogumo, recorded as it was played. Replay it with mogumo-sim.\n")
        << record.err;
}

// A record is kept whole and closed without a word; a full device is said
// the moment a write fails, and again at the end.
TEST(GameRecorder, AFileThatCannotTakeTheRecordIsReported) {
    QTemporaryDir dir;
    const QString kept = write(dir, "kept.txt", "");
    GameRecorder good;
    ASSERT_EQ(good.open(kept.toStdString()), "");
    good.write("# A game\n");
    EXPECT_EQ(good.finish(), "");
    std::ifstream in(kept.toStdString());
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "# A game\n");

    GameRecorder recorder;
    std::promise<std::string> told;
    recorder.setOnFailure([&told](const std::string& problem) { told.set_value(problem); });
    ASSERT_EQ(recorder.open("/dev/full"), "");
    recorder.write("# A game\n");
    EXPECT_NE(told.get_future().get().find("cannot write the record /dev/full"), std::string::npos);
    recorder.write("click Form1.Command1\n");
    EXPECT_NE(recorder.finish().find("cannot write the record /dev/full"), std::string::npos);
}

}  // namespace
}  // namespace mogumo
