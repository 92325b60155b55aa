// mogumo-sim itself: its arguments, where it reads the script, what it writes
// and its exit status.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

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

}  // namespace
