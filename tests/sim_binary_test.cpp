// mogumo-sim itself: its arguments, where it reads the script, what it writes
// and its exit status.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "script/catch_book.h"
#include "script/catch_book_file.h"
#include "sim_fixture.h"

namespace {

namespace fs = std::filesystem;
using mogumo::test::readFile;

struct Outcome {
    int status = -1;
    std::string out, err;
};

class SimBinary : public testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("mogumo_sim_test_" + std::to_string(::getpid()) + "_" +
                                            testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path file(const std::string& name, const std::string& text) {
        const fs::path p = dir_ / name;
        std::ofstream(p, std::ios::binary) << text;
        return p;
    }

    // Runs `command` through the shell in the test's folder, the simulator's
    // path in $SIM, standard input from `input`, standard output to `out`
    // unless the command redirects it.
    Outcome sh(const std::string& command, const std::string& input = "") {
        file("in", input);
        const std::string line = "cd '" + dir_.string() + "' && SIM='" MOGUMO_SIM_EXE "' && { " + command +
                                 (command.find('>') == std::string::npos ? " > out" : "") + "; } < in 2> err";
        const int raw = std::system(line.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw), readFile((dir_ / "out").string()),
                readFile((dir_ / "err").string())};
    }
    Outcome run(const std::string& args, const std::string& input = "") {
        return sh("\"$SIM\" " + args, input);
    }

    fs::path dir_;
};

// The named file is read, or standard input when none is named; a bad line
// exits 2 with its number, keeping the dumps before it.
TEST_F(SimBinary, ReadsTheNamedFileOrStandardInputAndABadLineExitsTwo) {
    const std::string script = "dump\nclick Form9.Command1\ndump\n";
    file("game.txt", script);
    for (const Outcome& o : {run("game.txt", "this is not read"), run("", script)}) {
        EXPECT_EQ(o.status, 2);
        EXPECT_EQ(o.err.rfind("line 2: ", 0), 0u) << o.err;
        EXPECT_EQ(o.out.rfind("{\"t\":100000,", 0), 0u) << o.out;
        EXPECT_EQ(std::count(o.out.begin(), o.out.end(), '\n'), 1) << "the dump before the bad line is kept";
    }
}

// What is not a script to run exits 1 and says why; --help and --version
// answer, and fail like the dumps when they cannot be written.
TEST_F(SimBinary, ArgumentsAndOutputFailures) {
    struct Case {
        std::string args, input;
        int status;
        std::string out, says;  // the start of standard output (none if empty), a part of standard error
    };
    file("locked.txt", "dump\n");
    fs::permissions(dir_ / "locked.txt", fs::perms::none);
    file("--help", "dump\n");
    std::vector<Case> cases = {
        {"a.txt b.txt", "", 1, "", "one script at most (see --help)"},
        {"''", "", 1, "", "an empty script name (see --help)"},
        {"--frobnicate", "", 1, "", "unknown option --frobnicate (see --help)"},
        {"--lang fr", "", 1, "", "--lang takes ja or en"},
        {"--catch-book", "", 1, "", "--catch-book needs a file name (see --help)"},
        {"missing.txt", "", 1, "", "missing.txt: No such file or directory"},
        {".", "", 1, "", "is a directory"},
        {"--help", "", 0, "Usage: mogumo-sim [options] [SCRIPT]\n", ""},
        {"-v", "", 0, "mogumo-sim ", ""},
        {"-- --help", "", 0, "{\"t\":100000,", ""},  // a script may be called --help
        {"> /dev/full", "dump\n", 1, "", "cannot write"},
        {"> /dev/full", "wait 1\n", 0, "", ""},  // nothing to write, nothing lost
        {"--help > /dev/full", "", 1, "", "cannot write"},
        {"--version > /dev/full", "", 1, "", "cannot write"},
    };
    if (::geteuid() != 0)  // root reads it anyway
        cases.push_back({"locked.txt", "", 1, "", "locked.txt: Permission denied"});
    for (const Case& c : cases) {
        fs::remove(dir_ / "out");
        const Outcome o = run(c.args, c.input);
        EXPECT_EQ(o.status, c.status) << c.args << ": " << o.err;
        EXPECT_TRUE(c.out.empty() ? o.out.empty() : o.out.starts_with(c.out)) << c.args << ": " << o.out;
        EXPECT_NE(o.err.find(c.says), std::string::npos) << c.args << ": " << o.err;
        EXPECT_TRUE(!c.says.empty() || o.err.empty()) << c.args << ": " << o.err;
    }
}

// A shot's file name reaches the file system byte for byte, whatever its
// encoding; --lang en reaches the painter: the title's caption is drawn in
// other words.
TEST_F(SimBinary, AShotKeepsItsFileNameByteForByte) {
    const std::string name = "latin1_\xE9\xFF.png";
    const Outcome o = run("", "shot Form1 " + (dir_ / name).string() + "\n");
    if (o.status == 2 && o.err.find("not available") != std::string::npos)
        GTEST_SKIP() << "built without the painter";
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(fs::exists(dir_ / name));
    EXPECT_EQ(o.err, "") << "nothing but errors on standard error";
    const Outcome english = run("--lang=en", "shot Form1 " + (dir_ / "en.png").string() + "\n");
    EXPECT_EQ(english.status, 0) << english.err;
    EXPECT_NE(fs::file_size(dir_ / "en.png"), fs::file_size(dir_ / name));
}

// The peak resident memory of the children reaped so far, in megabytes.
double childrenPeakMb() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Far below what endless input would take if it were kept; AddressSanitizer's
// shadow and quarantine need more room of their own.
#if defined(__SANITIZE_ADDRESS__)
constexpr double kMemoryBoundMb = 96;
#else
constexpr double kMemoryBoundMb = 64;
#endif

// Endless input of every kind: memory stays within one line's bound and the
// run ends with a clear message.
TEST_F(SimBinary, EndlessInputKeepsMemoryFlatAndEndsClearly) {
    for (const auto& [input, says] :
         {std::pair{"/dev/zero", "line 1: line longer than 65536 bytes"}, {"/dev/urandom", "line "}}) {
        const Outcome endless = run(input);
        EXPECT_EQ(endless.status, 2) << input;
        EXPECT_EQ(endless.err.rfind(says, 0), 0u) << input << ": " << endless.err;
        EXPECT_LT(childrenPeakMb(), kMemoryBoundMb) << input;
    }
}

// The simulator keeps the book of the game its script plays, and the dumps
// and the exit status are the same with the book off, on and failing.
TEST_F(SimBinary, KeepsACatchBookAndTheSameDumps) {
    const std::string whole = "'" MOGUMO_WHOLE_GAME "'";
    const Outcome off = run(whole);
    ASSERT_EQ(off.status, 0);
    ASSERT_GT(off.out.size(), 1000u);
    const Outcome on = run("--catch-book book.json " + whole);
    EXPECT_EQ(on.status, 0);
    EXPECT_EQ(on.out, off.out);
    EXPECT_EQ(on.err, "");
    file("f", "");
    const Outcome failing = run("--catch-book f/book.json " + whole);
    EXPECT_EQ(failing.status, 0);
    EXPECT_EQ(failing.out, off.out);
    EXPECT_NE(failing.err.find("could not be saved"), std::string::npos) << failing.err;
    mogumo::book::CatchBook want;
    want.land(2, 2120, 1652, 0, mogumo::book::today());
    want.finishGame(2120, 1, 0, mogumo::book::today());
    EXPECT_EQ(mogumo::book::fromJson(readFile((dir_ / "book.json").string())).book, want);
}

// Another program drives the simulator through pipes, a line at a time: it
// writes a line and waits for the answer before it writes the next.
TEST_F(SimBinary, ALineAtATimeThroughPipes) {
    const Outcome o =
        sh("bash -c 'coproc S { \"$0\"; }; p=$S_PID; echo dump >&${S[1]}; read -t 20 -r a <&${S[0]}; "
           "printf \"run 51\\ndump\\n\" >&${S[1]}; read -t 20 -r b <&${S[0]}; exec {S[1]}>&-; "
           "read -t 20 -r c <&${S[0]}; wait $p; echo \"$? ${a:0:12} ${b:0:12} [$c]\"' \"$SIM\" > out");
    EXPECT_EQ(o.out, "0 {\"t\":100000, {\"t\":100051, []\n") << o.err;
}

}  // namespace
