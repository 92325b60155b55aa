// Replays the recorded scenarios: every dump byte for byte, and the status.

#include <gtest/gtest.h>

#include <algorithm>
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
    const SimRun run = runSim(readFile(dir / (GetParam() + ".txt")));
    std::ostringstream status;
    status << run.status << " " << run.error << "\n";
    EXPECT_EQ(status.str(), readFile(dir / (GetParam() + ".status")));

    const std::string expected = readFile(dir / (GetParam() + ".jsonl"));
    const auto diff = std::mismatch(run.out.begin(), run.out.end(), expected.begin(), expected.end());
    const auto at = static_cast<size_t>(diff.first - run.out.begin());
    const size_t from = at < 80 ? 0 : at - 80;
    EXPECT_EQ(run.out, expected) << "first difference at byte " << at << ", dump "
                                 << std::count(run.out.begin(), diff.first, '\n')
                                 << ":\n ours: " << run.out.substr(from, 160)
                                 << "\n recorded: " << expected.substr(from, 160);
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
