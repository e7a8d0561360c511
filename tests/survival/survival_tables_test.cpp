// Per-group and pooled weekly survival tables and their summary texts.
#include <gtest/gtest.h>

#include <vector>

#include "survival/analysis.h"
#include "survival/case_builder.h"

namespace orv {
namespace {

using test::FillCases;
using test::Join;
using test::kCensoredCase;
using test::kDeath;
using test::Repeat;
using test::TestCase;

double S(const Workspace& ws, int week, int g) { return ws.survival.SurvivalTable[static_cast<std::size_t>(week)][kSurvival][g]; }

struct Summary {
  const char* five;
  const char* ten;
  const char* dataMax;
  const char* median;
};

void ExpectSummary(const Workspace& ws, int g, const Summary& s, const char* name) {
  const auto& t = ws.survival.GroupSummaryTexts[static_cast<std::size_t>(g)];
  EXPECT_EQ(t[kFiveYears], s.five) << name;
  EXPECT_EQ(t[kTenYears], s.ten) << name;
  EXPECT_EQ(t[kDataMax], s.dataMax) << name;
  EXPECT_EQ(t[kMedian], s.median) << name;
}

TEST(BuildGroupTables, SingleGroupExamples) {
  struct Case {
    const char* name;
    std::vector<TestCase> cases;
    double lastEventWeek;
    std::vector<std::pair<int, double>> survival;  // week, S
    Summary summary;
  };
  const Case cases[] = {
      {"one censored case", {{1, 10, kCensoredCase}}, 10, {{0, 1}, {10, 1}}, {"   . ", "   . ", "100.0 % , 0y 2m", ""}},
      {"three deaths in a row",
       {{1, 0, kDeath}, {1, 1, kDeath}, {1, 2, kDeath}},
       2,
       {{0, 0.666}, {1, 0.333}, {2, 0}},
       {"   . ", "   . ", "  0.0 % ,0.4m", "0.2m"}},
      {"a death and a censored case in one week",
       {{1, 5, kDeath}, {1, 5, kCensoredCase}},
       5,
       {{4, 1}, {5, 0.5}},
       {"   . ", "   . ", " 50.0 % , 0y 1m", " 0y 1m"}},
      {"last event one week before five years",
       {{1, 100, kDeath}, {1, 259, kCensoredCase}, {1, 259, kCensoredCase}},
       259,
       {{259, 0.666}},
       {"   . ", "   . ", " 66.6 % , 4y11m", ""}},
      {"survival 1 at five years and beyond",
       {{1, 300, kCensoredCase}, {1, 600, kCensoredCase}},
       600,
       {{260, 1}, {520, 1}},
       {"100.0 %", "100.0 %", "100.0 % ,11y 6m", ""}},
  };
  for (const Case& c : cases) {
    Workspace ws;
    FillCases(ws, 1, c.cases);
    BuildGroupTables(ws);
    EXPECT_EQ(ws.survival.lastEventWeek[1], c.lastEventWeek) << c.name;
    for (auto [week, s] : c.survival) EXPECT_EQ(S(ws, week, 1), s) << c.name << " week " << week;
    ExpectSummary(ws, 1, c.summary, c.name);
  }
}

TEST(BuildGroupTables, AtRiskCountsLeaveAfterTheirWeek) {
  Workspace ws;
  FillCases(ws, 1, {{1, 5, kDeath}, {1, 5, kCensoredCase}, {1, 7, kDeath}});
  BuildGroupTables(ws);
  struct Case {
    int week;
    Count atRisk;
    double cumulative;
  };
  const Case cases[] = {{0, 3, 0}, {5, 3, 2}, {6, 1, 2}, {7, 1, 3}, {8, 0, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(ws.survival.AtRiskTable[static_cast<std::size_t>(c.week)][1], c.atRisk) << c.week;
    EXPECT_EQ(ws.survival.SurvivalTable[static_cast<std::size_t>(c.week)][kCumulative][1], c.cumulative) << c.week;
  }
}

TEST(BuildGroupTables, ASecondLoadLeavesNothingOfTheFirst) {
  Workspace ws;
  FillCases(ws, 1, Join({Repeat(5, {1, 0, kCensoredCase}), Repeat(5, {1, 900, kDeath})}));
  BuildGroupTables(ws);
  ws.cases = CaseData{};
  FillCases(ws, 1, {{1, 10, kDeath}});
  BuildGroupTables(ws);
  EXPECT_EQ(ws.survival.lastEventWeek[1], 10);
  EXPECT_EQ(ws.survival.AtRiskTable[500][1], 0);
  EXPECT_EQ(ws.survival.AtRiskTable[900][1], 0);
  EXPECT_EQ(ws.survival.SurvivalTable[900][kDeaths][1], 0);
}

TEST(BuildPooledTable, PoolsTheShownGroups) {
  struct Case {
    const char* name;
    bool showB;
    double lastEventWeek;
    std::vector<std::pair<int, double>> survival;
    Summary summary;
  };
  const Case cases[] = {
      {"both shown", true, 4, {{1, 1}, {2, 0.5}, {4, 0.5}}, {"   . ", "   . ", " 50.0 % ,0.9m", "0.4m"}},
      {"B hidden equals A alone", false, 2, {{1, 1}, {2, 0}}, {"   . ", "   . ", "  0.0 % ,0.4m", "0.4m"}},
  };
  for (const Case& c : cases) {
    Workspace ws;
    FillCases(ws, 2, {{1, 2, kDeath}, {2, 4, kCensoredCase}});
    ws.styles[2].shown = c.showB ? 1 : 0;
    BuildGroupTables(ws);
    BuildPooledTable(ws);
    EXPECT_EQ(ws.survival.lastEventWeek[0], c.lastEventWeek) << c.name;
    for (auto [week, s] : c.survival) EXPECT_EQ(S(ws, week, 0), s) << c.name << " week " << week;
    ExpectSummary(ws, 0, c.summary, c.name);
    if (!c.showB) {
      for (int w = 0; w <= 4; ++w) {
        const auto wi = static_cast<std::size_t>(w);
        for (int slot = kCensored; slot <= kSurvival; ++slot)
          EXPECT_EQ(ws.survival.SurvivalTable[wi][slot][0], ws.survival.SurvivalTable[wi][slot][1]) << c.name << w;
        EXPECT_EQ(ws.survival.AtRiskTable[wi][0], ws.survival.AtRiskTable[wi][1]) << c.name << w;
      }
    }
  }
}

TEST(BuildPooledTable, ASmallGroupShownByTheUserTakesPart) {
  Workspace ws;
  FillCases(ws, 2, Join({Repeat(8, {1, 3, kCensoredCase}), {{2, 1, kDeath}}}));
  BuildGroupTables(ws);
  BuildPooledTable(ws);
  EXPECT_EQ(ws.cases.GroupTotals[3][0], 9);
  EXPECT_EQ(S(ws, 1, 0), 0.888);
}

TEST(BuildPooledTable, NoShownGroupLeavesGroupZeroEmpty) {
  struct Case {
    const char* name;
    int numGroups;
  };
  const Case cases[] = {{"groups all hidden", 2}, {"no groups at all", 0}};
  for (const Case& c : cases) {
    Workspace ws;
    FillCases(ws, c.numGroups, c.numGroups > 0 ? std::vector<TestCase>{{1, 2, kDeath}, {2, 4, kCensoredCase}} : std::vector<TestCase>{});
    for (int g = 1; g <= c.numGroups; ++g) ws.styles[g].shown = 0;
    BuildGroupTables(ws);
    BuildPooledTable(ws);
    EXPECT_EQ(ws.survival.lastEventWeek[0], 0) << c.name;
    EXPECT_EQ(ws.survival.SurvivalTable[0][kHazard][0], 0) << c.name;
    EXPECT_EQ(S(ws, 0, 0), 0) << c.name;
    ExpectSummary(ws, 0, {"", "", "", ""}, c.name);
  }
}

}  // namespace
}  // namespace orv
