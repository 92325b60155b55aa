// The catch book: its records, its file format read strictly, the watcher
// that learns landings from a played game, and the file that keeps it safely.

#include "script/catch_book.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <sstream>

#include "script/book_watcher.h"
#include "script/catch_book_file.h"
#include "sim_fixture.h"

namespace mogumo::test {
namespace {

namespace fs = std::filesystem;
using namespace book;

const Date kDay{2026, 12, 8};

void writeFile(const fs::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
}

// One step on a book and what it should report.
struct Step {
    const char* what;
    Event event;
    Change change;
};

TEST(CatchBook, RecordsChangeOnlyForStrictlyBetterFish) {
    const Step steps[] = {
        {"first of its kind", Landing{5, 7600, 3410, 1}, {5, true, true, true, true}},
        {"tie keeps the earlier", Landing{5, 7600, 3410, 2}, {5}},
        {"longer, lighter", Landing{5, 7550, 3420, 0}, {5, false, false, true}},
        {"lighter species", Landing{1, 250, 190, 0}, {1, true, true, true}},
        {"heaviest ever", Landing{1, 7601, 190, 3}, {1, false, true, false, true}},
        {"a game with no fish", FinishedGame{0, 0, 0}, {}},
        {"first game with fish", FinishedGame{500, 2, 0}, {.bestGame = true}},
        {"as heavy", FinishedGame{500, 3, 1}, {}},
    };
    CatchBook b;
    for (const Step& s : steps) EXPECT_EQ(b.apply(s.event, kDay), s.change) << s.what;
    EXPECT_EQ(b.species[5].heaviest, (Record{7600, 3410, 1, kDay}));
    EXPECT_EQ(b.species[5].longest, (Record{7550, 3420, 0, kDay}));
    EXPECT_EQ(b.heaviest, (HeaviestFish{1, {7601, 190, 3, kDay}}));
    EXPECT_EQ(b.bestGame, (BestGame{500, 2, 0, kDay}));
    EXPECT_THROW(b.land(41, 1, 1, 0, kDay), std::invalid_argument);
    EXPECT_THROW(b.land(0, 1, 1, 0, Date{2026, 2, 29}), std::invalid_argument);
}

CatchBook sampleBook() {
    CatchBook b;
    b.land(38, 46310, 15820, 3, kDay);
    b.land(0, 2120, 1652, 0, Date{2000, 2, 29});  // the first species; a leap day
    b.finishGame(2120, 1, 0, kDay);
    return b;
}

TEST(CatchBook, WritesTheSharedFormatAndReadsItBack) {
    const std::string text = toJson(sampleBook());
    const nlohmann::json j = nlohmann::json::parse(text);
    EXPECT_EQ(
        j["species"][38].dump(),
        R"({"first":"2026-12-08","heaviest":{"date":"2026-12-08","length":15820,"spot":"海","weight":46310},)"
        R"("landed":1,"longest":{"date":"2026-12-08","length":15820,"spot":"海","weight":46310},"name":"乙姫"})");
    EXPECT_EQ(j["species"][1].dump(),
              R"({"first":null,"heaviest":null,"landed":0,"longest":null,"name":"めでか"})");
    EXPECT_EQ(j["bestGame"].dump(), R"({"count":1,"date":"2026-12-08","spot":"池","weight":2120})");
    EXPECT_EQ(fromJson(text).book, sampleBook());
    EXPECT_EQ(fromJson(toJson(CatchBook{})).book, CatchBook{});
}

// Every way a file can fail to be a book is refused, with the reason.
TEST(CatchBook, ReadingRefusesWhatIsNotABook) {
    const std::string good = toJson(sampleBook());
    using Edit = std::function<void(nlohmann::json&)>;
    const std::pair<Edit, const char*> edits[] = {
        {[](auto& j) { j["version"] = 2; }, "newer"},
        {[](auto& j) { j["species"].erase(40); }, "41 species"},
        {[](auto& j) { std::swap(j["species"][1], j["species"][2]); }, "species 1 is not named"},
        {[](auto& j) { j["games"] = -1; }, "\"games\" is -1"},
        {[](auto& j) { j["games"] = kMaxCount + 1; }, "\"games\" is 1000000001"},
        {[](auto& j) { j["games"] = 1.5; }, "not a whole number"},
        {[](auto& j) { j["landed"] = 3; }, "sum"},
        {[](auto& j) { j["species"][38]["first"] = "2026-02-30"; }, "not a date"},
        {[](auto& j) { j["species"][38]["first"] = "2026-0:-08"; }, "not a date"},
        {[](auto& j) { j["species"][38]["heaviest"]["spot"] = "湖"; }, "spot"},
        {[](auto& j) { j["species"][38]["longest"] = nullptr; }, "do not match its count"},
        {[](auto& j) { j["species"][38]["heaviest"]["weight"] = 46300; }, "lighter"},
        {[](auto& j) { j["heaviest"]["species"] = 2; }, "names another"},
        {[](auto& j) { j["bestGame"]["count"] = 0; }, "\"count\" is 0"},
        {[](auto& j) { j["extra"] = 1; }, "unknown field \"extra\""},
        {[](auto& j) { j.erase("games"); }, "no \"games\""},
    };
    for (const auto& [edit, reason] : edits) {
        nlohmann::json j = nlohmann::json::parse(good);
        edit(j);
        const ReadResult r = fromJson(j.dump());
        EXPECT_FALSE(r.book) << reason;
        EXPECT_NE(r.error.find(reason), std::string::npos) << r.error;
    }
    for (const std::string& text :
         {good.substr(0, good.size() / 2), good + std::string(kMaxBookBytes, ' ')}) {
        const ReadResult r = fromJson(text);
        EXPECT_FALSE(r.book);
        EXPECT_TRUE(r.error.starts_with("it is")) << r.error;
    }
}

// --- The watcher on played games ---

enum class Watch { EachTick, EachLine };  // EachLine: as the played game tells its events

// Two games at the sea, a few fish each, lifted straight out of the water:
// the book holds the fish as they were landed, watched after every tick or
// only after every input.
TEST(BookWatcher, PlayedGamesReachTheBookExactly) {
    for (Watch watch : {Watch::EachTick, Watch::EachLine}) {
        Game g;
        BookWatcher watcher;
        CatchBook got, want;
        const auto observe = [&] {
            for (const Event& e : watcher.observe(g.sim)) got.apply(e, kDay);
        };
        if (watch == Watch::EachTick)
            g.sim.afterTick = observe;
        const auto input = [&](auto&& act) {
            act();
            if (watch == Watch::EachLine)
                observe();
        };
        for (int fish : {3, 2}) {
            input([&] { g.click(FormId::Form1, "Command1"); });
            for (int i = 0; i < 3; ++i) input([&] { g.click(FormId::Form3, "Command1", 1); });
            input([&] { g.click(FormId::Form3, "Command2"); });
            for (int i = 0; i <= fish; ++i) {
                input([&] { g.click(FormId::Form5, "cast"); });
                if (i == fish)
                    break;
                g.ctl(FormId::Form6, "uo").left = 4575 - 112;
                g.ctl(FormId::Form6, "uo").top = 495 - 112;
                input([&] { g.run(2001); });
                g.ctl(FormId::Form8, "uoyosu").top = -485;
                input([&] { g.run(1); });
                want.land(g.state().SpeciesIndex, g.state().FishWeight, g.state().FishLength, 3, kDay);
                input([&] { g.run(3000); });
            }
            input([&] { g.keyDown(FormId::Form6, 35); });
            input([&] { g.run(3001); });
            want.finishGame(g.state().CatchTotals[1], fish, 3, kDay);
            input([&] { g.click(FormId::Form4, "Command1"); });
        }
        EXPECT_EQ(got, want);
        EXPECT_EQ(got.landed, 5);
    }
}

// Past the log's 101 lines a landing is still told, from the fish itself.
TEST(BookWatcher, ALandingPastTheFullLogComesFromTheFish) {
    Game g;
    BookWatcher watcher;
    g.biteAtFirstStep();
    g.run(1950);
    g.state().CatchLog.fill("x");
    g.state().CatchTotals = {101, 0, 0};
    EXPECT_TRUE(watcher.observe(g.sim).empty());
    g.ctl(FormId::Form8, "uoyosu").top = -485;
    g.run(1);
    const GameState& s = g.state();
    EXPECT_EQ(watcher.observe(g.sim),
              (std::vector<Event>{Landing{s.SpeciesIndex, s.FishWeight, s.FishLength, 0}}));
}

// --- The file ---

class CatchBookFileTest : public testing::Test {
protected:
    void SetUp() override {
        // In memory where it can be: a flush to the disk costs milliseconds
        // and shows nothing a test can see.
        const std::string base = fs::is_directory("/dev/shm") ? "/dev/shm/" : testing::TempDir();
        std::string pattern = base + "catch-book-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        path_ = (dir_ / "mogumo" / "catch-book.json").string();
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(dir_ / "mogumo", fs::perms::owner_all, ignored);
        fs::remove_all(dir_, ignored);
    }
    // Runs `body` in a child process; its exit status, or 128 + the signal
    // that ended it.
    static int inChild(const std::function<int()>& body) {
        const pid_t pid = ::fork();
        if (pid == 0)
            ::_exit(body());
        int status = 0;
        ::waitpid(pid, &status, 0);
        return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
    }
    CatchBook onDisk() const { return fromJson(readFile(path_)).book.value_or(CatchBook{}); }

    fs::path dir_;
    std::string path_;
};

TEST_F(CatchBookFileTest, AGameKilledRightAfterALandingKeepsIt) {
    EXPECT_EQ(inChild([&] {
                  CatchBookFile file(path_);
                  if (!file.record(Landing{38, 46310, 15820, 3}, kDay).saved)
                      return 1;
                  ::raise(SIGKILL);
                  return 2;
              }),
              128 + SIGKILL);
    EXPECT_EQ(onDisk().species[38].landed, 1);
}

TEST_F(CatchBookFileTest, TwoGamesAtOnceBothKeepEveryFish) {
    constexpr int kEach = 50;
    std::vector<pid_t> games;
    for (int species : {1, 2})
        if (games.emplace_back(::fork()) == 0) {
            CatchBookFile file(path_);
            for (int i = 0; i < kEach; ++i) file.record(Landing{species, 300 + i, 200, 0}, kDay);
            ::_exit(0);
        }
    for (pid_t pid : games) ::waitpid(pid, nullptr, 0);
    EXPECT_EQ(onDisk().landed, 2 * kEach);
    EXPECT_EQ(onDisk().species[1].landed, kEach);
}

// Each file is kept aside byte for byte (several in one second too), the
// player told once, and the new book holds the next fish; load() and record()
// each do it.
TEST_F(CatchBookFileTest, AFileThatIsNotABookIsKeptAsideNotLost) {
    const std::string good = toJson(sampleBook());
    std::vector<std::string> files = {
        "garbage\x01\xff", good + std::string(kMaxBookBytes, '\n'),
        std::string(good).replace(good.find("\"landed\": 2"), 11, "\"landed\": -2")};
    fs::create_directories(dir_ / "mogumo");
    bool viaLoad = false;
    for (const std::string& text : files) {
        SCOPED_TRACE(text.substr(0, 40));
        writeFile(path_, text);
        CatchBookFile file(path_);
        viaLoad = !viaLoad;
        const CatchBookFile::Result first =
            viaLoad ? file.load() : file.record(Landing{1, 250, 190, 0}, kDay);
        EXPECT_NE(first.message.find("could not be read"), std::string::npos) << first.message;
        const CatchBookFile::Result second = file.record(Landing{1, 250, 190, 0}, kDay);
        EXPECT_TRUE(second.saved);
        EXPECT_EQ(second.message, "");
        EXPECT_EQ(onDisk().landed, viaLoad ? 1 : 2);
    }
    std::vector<std::string> kept;
    for (const auto& e : fs::directory_iterator(dir_ / "mogumo"))
        if (e.path().filename().string().starts_with("catch-book.json.unreadable-"))
            kept.push_back(readFile(e.path()));
    std::sort(kept.begin(), kept.end());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(kept, files);
}

// The book on disk stays as it was, the trouble is said once, and the fish
// wait in memory; with room again, the next save keeps them all.
TEST_F(CatchBookFileTest, ABookThatCannotBeWrittenIsSaidOnceAndTheGameGoesOn) {
    struct Case {
        const char* what;
        std::function<bool()> shut, reopen;  // in the child
    };
    const rlimit small{100, RLIM_INFINITY}, unlimited{RLIM_INFINITY, RLIM_INFINITY};
    const Case cases[] = {
        {"read-only folder",
         [&] {
             ::chmod((dir_ / "mogumo").c_str(), 0555);
             ::chmod(dir_.c_str(), 0755);
             // Root writes anywhere: the child gives up root first.
             return ::geteuid() != 0 || ::setuid(65534) == 0;
         },
         nullptr},
        {"disk full",
         [&] { return ::signal(SIGXFSZ, SIG_IGN) != SIG_ERR && ::setrlimit(RLIMIT_FSIZE, &small) == 0; },
         [&] { return ::setrlimit(RLIMIT_FSIZE, &unlimited) == 0; }},
        {"a folder in the book's place",
         [&] {
             return ::rename(path_.c_str(), (path_ + ".real").c_str()) == 0 &&
                    ::mkdir(path_.c_str(), 0700) == 0;
         },
         [&] {
             return ::rmdir(path_.c_str()) == 0 && ::rename((path_ + ".real").c_str(), path_.c_str()) == 0;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dir_ / "mogumo");
        CatchBookFile(path_).record(Landing{1, 250, 190, 0}, kDay);
        EXPECT_EQ(
            inChild([&] {
                CatchBookFile file(path_);
                file.load();
                if (!c.shut())
                    return 9;
                const auto a = file.record(Landing{1, 251, 190, 0}, kDay);
                const auto b = file.record(Landing{1, 252, 190, 0}, kDay);
                if (a.saved || b.saved || a.message.find("could not be saved") == std::string::npos ||
                    !b.message.empty() || file.book().landed != 3 || (file.load(), file.book().landed != 3))
                    return 1;
                return !c.reopen || (c.reopen() && file.record(Landing{1, 253, 190, 0}, kDay).saved) ? 0 : 2;
            }),
            0);
        EXPECT_EQ(onDisk().landed, c.reopen ? 4 : 1);
        EXPECT_FALSE(fs::exists(path_ + ".tmp"));
        fs::permissions(dir_ / "mogumo", fs::perms::owner_all);
    }
}

}  // namespace
}  // namespace mogumo::test
