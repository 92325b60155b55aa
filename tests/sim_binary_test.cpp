// mogumo-sim itself: its arguments, where it reads the script, what it writes
// and its exit status.

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

#include "script/catch_book.h"
#include "script/catch_book_file.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out, err;
};

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

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

    // Runs the simulator through the shell: `args` as written, standard input
    // from `input`, standard output to `out` unless it is redirected in args.
    Outcome run(const std::string& args, const std::string& input = "") {
        const fs::path in = file("stdin.txt", input);
        const std::string cmd =
            std::string("'") + MOGUMO_SIM_EXE + "' " + args + " < '" + in.string() + "' 2> '" +
            (dir_ / "err").string() + "'" +
            (args.find('>') == std::string::npos ? " > '" + (dir_ / "out").string() + "'" : "");
        const int raw = std::system(cmd.c_str());
        Outcome o;
        o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        o.out = slurp(dir_ / "out");
        o.err = slurp(dir_ / "err");
        return o;
    }

    fs::path dir_;
};

// The named file is read, or standard input when none is named; a bad line
// exits 2 with its number, keeping the dumps before it.
TEST_F(SimBinary, ReadsTheNamedFileOrStandardInputAndABadLineExitsTwo) {
    const std::string script = "dump\nclick Form9.Command1\ndump\n";
    const Outcome fromFile = run("'" + file("game.txt", script).string() + "'", "this is not read");
    const Outcome fromStdin = run("", script);
    for (const Outcome& o : {fromFile, fromStdin}) {
        EXPECT_EQ(o.status, 2);
        EXPECT_EQ(o.err.rfind("line 2: ", 0), 0u) << o.err;
        EXPECT_EQ(o.out.rfind("{\"t\":100000,", 0), 0u) << o.out;
        EXPECT_EQ(std::count(o.out.begin(), o.out.end(), '\n'), 1) << "the dump before the bad line is kept";
    }
    EXPECT_EQ(run("", "dump\n").status, 0);
}

// Anything that is not a line of the script exits 1 and says what is wrong.
TEST_F(SimBinary, BadArgumentsAndUnreadableScriptsExitOne) {
    struct Case {
        std::string args, says;
    };
    const fs::path locked = file("locked.txt", "dump\n");
    fs::permissions(locked, fs::perms::none);
    std::vector<Case> cases = {
        {"a.txt b.txt", "one script at most (see --help)"},
        {"''", "an empty script name (see --help)"},
        {"--frobnicate", "unknown option --frobnicate (see --help)"},
        {"--lang fr", "--lang takes ja or en"},
        {"--catch-book", "--catch-book needs a file name (see --help)"},
        {"'" + (dir_ / "missing.txt").string() + "'", "missing.txt: No such file or directory"},
        {"'" + dir_.string() + "'", "is a directory"},
    };
    if (::geteuid() != 0)  // root reads it anyway
        cases.push_back({"'" + locked.string() + "'", "locked.txt: Permission denied"});
    for (const Case& c : cases) {
        const Outcome o = run(c.args);
        EXPECT_EQ(o.status, 1) << c.args;
        EXPECT_NE(o.err.find(c.says), std::string::npos) << c.args << ": " << o.err;
        EXPECT_EQ(o.out, "") << c.args;
    }
}

TEST_F(SimBinary, DumpsThatCannotBeWrittenFailTheRun) {
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    const Outcome o = run("> /dev/full", "dump\n");
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.err.find("cannot write"), std::string::npos) << o.err;
    EXPECT_EQ(run("> /dev/full", "wait 1\n").status, 0) << "nothing to write, nothing lost";
}

TEST_F(SimBinary, HelpAndVersionAnswerAndFailIntoAFullDevice) {
    const Outcome help = run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: mogumo-sim [options] [SCRIPT]\n", 0), 0u) << help.out;
    const Outcome version = run("-v");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("mogumo-sim ", 0), 0u) << version.out;
    // A script may be called --help, after --.
    EXPECT_EQ(run("-- '" + file("--help", "dump\n").string() + "'").status, 0);
    if (fs::exists("/dev/full"))
        for (const char* option : {"--help", "--version"}) {
            const Outcome full = run(std::string(option) + " > /dev/full");
            EXPECT_EQ(full.status, 1) << option;
            EXPECT_NE(full.err.find("cannot write"), std::string::npos) << full.err;
        }
}

// A shot's file name reaches the file system byte for byte, whatever its
// encoding.
// --lang en reaches the painter: the title's caption is drawn in other words.
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

struct Spawned {
    pid_t pid = -1;
    int in = -1, out = -1;
    std::string pending;  // read from `out`, not yet taken as a line
};

// `command` through the shell, with pipes to its standard input and output.
Spawned spawn(const std::string& command) {
    int in[2], out[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0)
        return {};
    Spawned s;
    s.pid = ::fork();
    if (s.pid == 0) {
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        ::close(in[1]);
        ::close(out[0]);
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    s.in = in[1];
    s.out = out[0];
    return s;
}

// The next line the process writes; what is left when it has closed its
// output or wrote nothing for a long while (a test must fail, not hang).
std::string readLine(Spawned& s) {
    for (;;) {
        if (const size_t nl = s.pending.find('\n'); nl != std::string::npos) {
            std::string line = s.pending.substr(0, nl + 1);
            s.pending.erase(0, nl + 1);
            return line;
        }
        pollfd p{s.out, POLLIN, 0};
        char buffer[65536];
        const ssize_t n = ::poll(&p, 1, 20000) > 0 ? ::read(s.out, buffer, sizeof buffer) : 0;
        if (n <= 0)
            return std::exchange(s.pending, {});
        s.pending.append(buffer, static_cast<size_t>(n));
    }
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
    struct Case {
        std::string input;
        int status;
        std::string says;
    };
    for (const Case& c :
         {Case{"/dev/zero", 2, "line 1: line longer than 65536 bytes"}, Case{"/dev/urandom", 2, "line "}}) {
        if (!fs::exists(c.input))
            continue;
        const Outcome endless = run(c.input);
        EXPECT_EQ(endless.status, c.status) << c.input;
        EXPECT_EQ(endless.err.rfind(c.says, 0), 0u) << c.input << ": " << endless.err;
        EXPECT_LT(childrenPeakMb(), kMemoryBoundMb) << c.input;
    }
}

// The simulator keeps the book of the game its script plays, and the dumps
// and the exit status are the same with the book off, on and failing.
TEST_F(SimBinary, KeepsACatchBookAndTheSameDumps) {
    const fs::path book = dir_ / "book.json";
    const std::string whole = "'" MOGUMO_WHOLE_GAME "'";
    const Outcome off = run(whole);
    ASSERT_EQ(off.status, 0);
    ASSERT_GT(off.out.size(), 1000u);
    const Outcome on = run("--catch-book '" + book.string() + "' " + whole);
    EXPECT_EQ(on.status, 0);
    EXPECT_EQ(on.out, off.out);
    EXPECT_EQ(on.err, "");
    const Outcome failing = run("--catch-book '" + file("f", "").string() + "/book.json' " + whole);
    EXPECT_EQ(failing.status, 0);
    EXPECT_EQ(failing.out, off.out);
    EXPECT_NE(failing.err.find("could not be saved"), std::string::npos) << failing.err;
    mogumo::book::CatchBook want;
    want.land(2, 2120, 1652, 0, mogumo::book::today());
    want.finishGame(2120, 1, 0, mogumo::book::today());
    EXPECT_EQ(mogumo::book::fromJson(slurp(book)).book, want);
}

// Another program drives the simulator a line at a time: it writes a line,
// reads the answer, and decides the next line.
TEST_F(SimBinary, ALineAtATimeThroughPipes) {
    Spawned sim = spawn("'" + std::string(MOGUMO_SIM_EXE) + "'");
    ASSERT_GT(sim.pid, 0);
    auto say = [&](const std::string& line) {
        ASSERT_EQ(::write(sim.in, line.data(), line.size()), static_cast<ssize_t>(line.size()));
    };
    say("dump\n");
    EXPECT_EQ(readLine(sim).rfind("{\"t\":100000,", 0), 0u);
    say("run 51\ndump\n");
    EXPECT_EQ(readLine(sim).rfind("{\"t\":100051,", 0), 0u);
    ::close(sim.in);
    EXPECT_EQ(readLine(sim), "") << "nothing more after the end of the input";
    ::close(sim.out);
    int status = 0;
    ::waitpid(sim.pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
