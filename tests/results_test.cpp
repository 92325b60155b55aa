// The catch report.

#include <gtest/gtest.h>

#include <algorithm>

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

struct Fish {
    const char* name;
    int32_t weight, length;
};

// The report of a game that landed `fish`: their log lines and their totals.
std::string reportOf(const std::vector<Fish>& fish) {
    std::vector<std::string> log;
    std::array<int32_t, 3> totals{};
    for (const Fish& f : fish) {
        log.push_back(catchLogLine(f.name, f.weight, f.length));
        totals = {totals[0] + 1, totals[1] + f.weight, totals[2] + f.length};
    }
    return reportFor(log, totals);
}

TEST(Results, ListTheCatchWithCountTotalsAndAverages) {
    const std::string a = catchLogLine("アユ", 1000, 300);
    const std::string b = catchLogLine("めでか", 500, 350);
    EXPECT_EQ(
        reportFor({a, b}, {2, 1500, 650}),
        kHeader + "\r\n" + a + "\r\n" + b + "\r\n\r\n釣った数:2\r\n総重量:1500g 平均:750g\r\n平均身長:325mm");
    EXPECT_EQ(reportFor({}, {0, 0, 0}), kHeader);
}

// Totals that do not divide evenly: each average is the double quotient,
// neither cut nor rounded to a whole number, in its shortest form to 15 digits.
TEST(Results, TheAveragesAreExactQuotientsOfTheTotals) {
    struct Case {
        std::vector<Fish> fish;
        std::string summary;
    };
    const std::vector<Fish> sevenPlankton = {{"プランクトン", 10, 10}, {"プランクトン", 11, 10},
                                             {"プランクトン", 12, 10}, {"プランクトン", 13, 10},
                                             {"プランクトン", 14, 10}, {"プランクトン", 15, 10},
                                             {"プランクトン", 25, 15}};
    const Fish phantom = {"まぼろし魚", 1585160, 952340};
    std::vector<Fish> sevenPhantoms(7, phantom);
    sevenPhantoms[6] = {"まぼろし魚", 1585161, 952343};
    const Case cases[] = {
        {{{"アユ", 7215, 2201}}, "釣った数:1\r\n総重量:7215g 平均:7215g\r\n平均身長:2201mm"},
        {{{"アユ", 1000, 300}, {"めでか", 1, 351}},
         "釣った数:2\r\n総重量:1001g 平均:500.5g\r\n平均身長:325.5mm"},
        {{{"めでか", 250, 181}, {"タニシ", 510, 601}, {"めでか", 240, 180}},
         "釣った数:3\r\n総重量:1000g 平均:333.333333333333g\r\n平均身長:320.666666666667mm"},
        {sevenPlankton, "釣った数:7\r\n総重量:100g 平均:14.2857142857143g\r\n平均身長:10.7142857142857mm"},
        {sevenPhantoms,
         "釣った数:7\r\n総重量:11096121g 平均:1585160.14285714g\r\n平均身長:952340.428571429mm"},
    };
    for (const Case& c : cases) {
        const std::string report = reportOf(c.fish);
        const size_t summary = report.find("\r\n\r\n");
        ASSERT_NE(summary, std::string::npos) << report;
        EXPECT_EQ(report.substr(summary + 4), c.summary);
        EXPECT_EQ(std::count(report.begin(), report.begin() + static_cast<ptrdiff_t>(summary), '\n'),
                  static_cast<ptrdiff_t>(c.fish.size()))
            << "one line per fish";
    }
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

}  // namespace
}  // namespace mogumo::test
