// The script language: every command read from its line and written back,
// how lines split into words and numbers, how a line is bounded, and every
// error text with the number of its line.

#include <gtest/gtest.h>

#include "script/command.h"
#include "script/line_reader.h"
#include "script/record_writer.h"
#include "sim_fixture.h"

namespace mogumo::test {
namespace {

TEST(ScriptCommands, CanonicalLinesReadAndWriteBackUnchanged) {
    for (const char* line :
         {"clock 4294967295", "click Form1.Command1", "click Form3.Command1(1)", "keydown Form6 16",
          "keyup Form8 0", "close Form5", "wait 0", "tick Form6.Timer1", "tick Form2.kao(13)", "run 150",
          "dump", "shot Form7 pictures/splash.png"}) {
        const std::optional<script::Command> c = script::parseCommand(line);
        ASSERT_TRUE(c) << line;
        EXPECT_EQ(script::formatCommand(*c), line);
    }
    // Written lines are canonical: single spaces, no leading zeros.
    EXPECT_EQ(script::formatCommand(*script::parseCommand("  keydown   Form6 0016 ")), "keydown Form6 16");
    EXPECT_EQ(script::formatCommand(*script::parseCommand("click Form3.Command1(0001)")),
              "click Form3.Command1(1)");
    for (const char* nothing : {"", "   ", "#", "# dump", "#dump"})
        EXPECT_FALSE(script::parseCommand(nothing)) << nothing;
}

// A record's stretch of time longer than a script number takes more lines.
TEST(RecordWriter, AStretchLongerThanANumberTakesMoreLines) {
    script::RecordWriter record(kDefaultClock);
    record.time(script::Verb::Run, script::kMaxNumber + 5);
    record.flushTime();
    EXPECT_NE(record.take().find("\nrun 4294967295\nrun 5\n"), std::string::npos);
}

struct Reading {
    const char* name;
    std::string script;
    int status;
};

// A failing case names itself, not its bytes.
void PrintTo(const Reading& reading, std::ostream* os) {
    *os << reading.name;
}

class ScriptReader : public testing::TestWithParam<Reading> {};

TEST_P(ScriptReader, TakesOrRefusesTheLine) {
    const SimRun r = runSim(GetParam().script);
    EXPECT_EQ(r.status, GetParam().status) << r.error;
}

INSTANTIATE_TEST_SUITE_P(
    Words, ScriptReader,
    testing::Values(Reading{"LeadingZerosBeyondTenDigits",
                            "wait 000000000004294967295\nkeydown Form1 0000000000000255", 0},
                    Reading{"SeveralSpaces", "   wait    5   \ndump ", 0},
                    Reading{"CommentsStartAtTheFirstByte", "#dump\n#\n\r\n    \n", 0},
                    Reading{"ByteOrderMarkAndCrLf", "\xEF\xBB\xBF# comment\r\ndump\r\n", 0},
                    Reading{"NoLineBreakAtTheEnd", "dump", 0},
                    Reading{"LineAtTheBound", std::string(script::kMaxLine, ' ') + "\ndump", 0},
                    Reading{"LineAtTheBoundWithCrLf", std::string(script::kMaxLine, ' ') + "\r\ndump", 0}),
    [](const testing::TestParamInfo<Reading>& p) { return std::string(p.param.name); });

struct BadText {
    const char* name;
    std::string script;
    std::string error;
};

void PrintTo(const BadText& bad, std::ostream* os) {
    *os << testing::PrintToString(bad.script);
}

class ScriptErrors : public testing::TestWithParam<BadText> {};

TEST_P(ScriptErrors, NameTheLineAndWhy) {
    const SimRun r = runSim(GetParam().script);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.error, GetParam().error);
}

const std::string kToLure = "click Form1.Command1\nclick Form3.Command2\nclick Form5.cast\n";

INSTANTIATE_TEST_SUITE_P(
    Texts, ScriptErrors,
    testing::Values(
        BadText{"UnknownCommand", "\n\x01run\xff 5", "line 2: unknown command: \\x01run\\xff"},
        BadText{"WordCountPlural", "keydown Form1", "line 1: keydown takes 2 arguments"},
        BadText{"ByteOrderMarkOnlyFirst",
                "dump\n\xEF\xBB\xBF"
                "dump",
                "line 2: unknown command: \\xef\\xbb\\xbfdump"},
        BadText{"NotANumber", "run 1e3", "line 1: not a number: 1e3"},
        BadText{"LeadingZerosStillBounded", "wait 00000000004294967296",
                "line 1: number out of range: 00000000004294967296"},
        BadText{"KeyCode", "keydown Form1 256", "line 1: key code above 255: 256"},
        BadText{"UnknownScreen", "close Form9", "line 1: unknown screen: Form9"},
        BadText{"NoControl", "click Form1", "line 1: expected SCREEN.CONTROL: Form1"},
        BadText{"BadIndex", "click Form3.Command1(1001)", "line 1: bad control index: Form3.Command1(1001)"},
        BadText{"LongLine", "dump\n" + std::string(1 << 20, '\0'), "line 2: line longer than 65536 bytes"},
        BadText{"CarriageReturnsAlone", "click Form1.Command1\rclick Form3.Command2\r",
                "line 1: a carriage return without a line feed: lines must end in LF or CR LF"},
        BadText{"ClockNotFirst", "dump\nclock 5", "line 2: clock is only allowed as the first command"},
        BadText{"AfterTheEnd", "click Form1.Command2\nwait 1", "line 2: the program has ended"},
        BadText{"NotLoaded", "keyup Form6 16", "line 1: Form6 is not loaded"},
        BadText{"NotVisible", "click Form1.Command1\nclick Form2.kao(0)",
                "line 2: Form2.kao(0): the screen is not visible"},
        BadText{"Disabled", kToLure + "keydown Form5 16", "line 4: Form5: the screen is disabled"},
        BadText{"MissingControl", "click Form1.Command9", "line 1: no control Form1.Command9"},
        BadText{"NotAButton", "click Form1.Label1", "line 1: Form1.Label1 is not a button"},
        BadText{"MissingTimer", "tick Form1.Timer1", "line 1: no timer Form1.Timer1"},
        BadText{"TimerNotRunning", kToLure + "tick Form6.Timer2",
                "line 4: timer Form6.Timer2 is not running"},
        BadText{"ShotWithoutAPainter", "shot Form1 x.png", "line 1: shot is not available in this build"}),
    [](const testing::TestParamInfo<BadText>& p) { return std::string(p.param.name); });

// The reader hands on each line as soon as its line break has come, and
// holds no more than one line.
TEST(LineReader, HandsOnEachLineAsItsBreakArrives) {
    std::vector<std::string> chunks{"dump\nru", "n 5\r", "\n", "wait 1"};
    size_t next = 0;
    script::LineReader in([&](char* buffer, size_t size) -> long {
        if (next == chunks.size())
            return 0;
        const std::string& c = chunks[next++];
        EXPECT_LE(c.size(), size);
        std::copy(c.begin(), c.end(), buffer);
        return static_cast<long>(c.size());
    });
    std::string line;
    ASSERT_TRUE(in.next(line));
    EXPECT_EQ(line, "dump");
    EXPECT_EQ(next, 1u) << "the first line came without waiting for more";
    ASSERT_TRUE(in.next(line));
    EXPECT_EQ(line, "run 5");
    ASSERT_TRUE(in.next(line));
    EXPECT_EQ(line, "wait 1");
    EXPECT_EQ(in.lineNumber(), 3u);
    EXPECT_FALSE(in.next(line));
}

}  // namespace
}  // namespace mogumo::test
