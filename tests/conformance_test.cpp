// Replays the recorded scenarios and compares every dump field by field.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "sim_fixture.h"

namespace mogumo::test {
namespace {

std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class Conformance : public testing::TestWithParam<std::string> {};

TEST_P(Conformance, DumpsAndStatusMatchTheRecording) {
    const std::filesystem::path dir = MOGUMO_CONFORMANCE_DIR;
    const std::string name = GetParam();
    const SimRun run = runSim(readFile(dir / (name + ".txt")));

    std::istringstream status(readFile(dir / (name + ".status")));
    int expectedStatus = -1;
    status >> expectedStatus;
    std::string expectedError;
    std::getline(status >> std::ws, expectedError);
    EXPECT_EQ(run.status, expectedStatus) << run.error;
    EXPECT_EQ(run.error, expectedError);

    std::istringstream recorded(readFile(dir / (name + ".jsonl")));
    size_t i = 0;
    for (std::string line; std::getline(recorded, line); ++i) {
        ASSERT_LT(i, run.dumps.size()) << "missing dump " << i;
        const auto diffs = compareDumps(run.dumps[i], Json::parse(line));
        EXPECT_TRUE(diffs.empty()) << "dump " << i << ": " << diffs.size() << " differences, first "
                                   << diffs.front();
    }
    EXPECT_EQ(i, run.dumps.size());
}

std::vector<std::string> scenarios() {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(MOGUMO_CONFORMANCE_DIR))
        if (e.path().extension() == ".txt")
            names.push_back(e.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Recorded, Conformance, testing::ValuesIn(scenarios()),
                         [](const testing::TestParamInfo<std::string>& p) { return "s" + p.param; });

}  // namespace
}  // namespace mogumo::test
