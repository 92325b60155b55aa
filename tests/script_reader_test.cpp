// How the script reader splits lines into words and numbers, and how it
// bounds a line.

#include <gtest/gtest.h>

#include "script/command.h"
#include "sim_fixture.h"

namespace mogumo::test {
namespace {

struct Reading {
    const char* name;
    std::string script;
    int status;
};

class ScriptReader : public testing::TestWithParam<Reading> {};

TEST_P(ScriptReader, TakesOrRefusesTheLine) {
    const SimRun r = runSim(GetParam().script);
    EXPECT_EQ(r.status, GetParam().status) << r.error;
}

INSTANTIATE_TEST_SUITE_P(
    Words, ScriptReader,
    testing::Values(Reading{"LeadingZerosBeyondTenDigits",
                            "wait 000000000004294967295\nkeydown Form1 0000000000000255", 0},
                    Reading{"LeadingZerosStillBounded", "wait 00000000004294967296", 2},
                    Reading{"LeadingZerosInAnIndex", "click Form1.Command1\nclick Form3.Command1(0001)", 0},
                    Reading{"SeveralSpaces", "   wait    5   \ndump ", 0},
                    Reading{"TabIsNoSeparator", "wait\t5", 2}, Reading{"FormFeedIsNoSeparator", "dump\f", 2},
                    Reading{"CommentsStartAtTheFirstByte", "#dump\n#\n\r\n    \n", 0},
                    Reading{"IndentedHashIsNoComment", "  # note", 2},
                    Reading{"LineAtTheBound", std::string(script::kMaxLine, ' ') + "\ndump", 0},
                    Reading{"LineBeyondTheBound", "dump\n" + std::string(script::kMaxLine + 1, ' '), 2}),
    [](const testing::TestParamInfo<Reading>& p) { return std::string(p.param.name); });

TEST(ScriptReaderErrors, NameTheLineAndShowOddBytesEscaped) {
    const SimRun longLine = runSim("dump\n" + std::string(1 << 20, '\0'));
    EXPECT_EQ(longLine.error, "line 2: line longer than 65536 bytes");
    const SimRun odd = runSim("\n\x01run\xff 5");
    EXPECT_EQ(odd.error, "line 2: unknown command: \\x01run\\xff");
}

}  // namespace
}  // namespace mogumo::test
