// The catch report.

#include <gtest/gtest.h>

#include "screens/battle/species_catalogue.h"
#include "sim_fixture.h"

namespace mogumo::test {
namespace {

const std::string kHeader = "魚の名前　　　/重量(g)/身長(mm)";

std::string reportFor(std::vector<std::string> log, std::array<int32_t, 3> totals) {
    Game g;
    for (size_t i = 0; i < log.size(); ++i) g.state().CatchLog[i] = log[i];
    g.state().CatchTotals = totals;
    g.sim.screens().show(FormId::Form4);
    return g.ctl(FormId::Form4, "Text1").text;
}

// The number formats of the averages are the Text tests' business.
TEST(Results, ListTheCatchWithCountTotalsAndAverages) {
    const std::string a = catchLogLine("アユ", 1000, 300);
    const std::string b = catchLogLine("めでか", 500, 350);
    EXPECT_EQ(
        reportFor({a, b}, {2, 1500, 650}),
        kHeader + "\r\n" + a + "\r\n" + b + "\r\n\r\n釣った数:2\r\n総重量:1500g 平均:750g\r\n平均身長:325mm");
    EXPECT_EQ(reportFor({}, {0, 0, 0}), kHeader);
}

TEST(Results, AFullLogIsListedAndAnEmptyLineEndsTheListing) {
    std::vector<std::string> full(101, catchLogLine("タニシ", 510, 610));
    const std::string all = reportFor(full, {101, 101 * 510, 101 * 610});
    size_t lines = 0;
    for (size_t p = 0; (p = all.find("タニシ", p)) != std::string::npos; ++p) ++lines;
    EXPECT_EQ(lines, 101u);
    EXPECT_NE(all.find("釣った数:101"), std::string::npos);

    const std::string gap = reportFor({full[0], "", full[0]}, {3, 1530, 1830});
    EXPECT_EQ(gap,
              kHeader + "\r\n" + full[0] + "\r\n\r\n釣った数:3\r\n総重量:1530g 平均:510g\r\n平均身長:610mm");
}

TEST(Results, SatisfiedStartsANewGameWithAnEmptyLog) {
    Game g;
    for (int i = 0; i < 2; ++i) g.state().CatchLog[static_cast<size_t>(i)] = catchLogLine("アユ", 7200, 2200);
    g.state().CatchTotals = {2, 14400, 4400};
    g.state().BoostUses = 4;
    g.sim.screens().show(FormId::Form4);
    g.sim.screens().unload(FormId::Form1);
    g.click(FormId::Form4, "Command1");
    EXPECT_EQ(g.sim.screens().loaded(FormId::Form4), nullptr);
    EXPECT_TRUE(g.screen(FormId::Form1).visible());
    EXPECT_EQ(g.state().CatchTotals[0], 0);
    EXPECT_EQ(g.state().CatchLog[0], "");
    EXPECT_EQ(g.state().BoostUses, 0);
    EXPECT_EQ(g.state().SecretPoints, 2);
}

}  // namespace
}  // namespace mogumo::test
