// Per-group and pooled weekly survival tables and their summary texts.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "survival/analysis.h"
#include "survival/case_builder.h"

namespace orv {
namespace {

using test::Cases;
using test::Join;
using Summary = std::array<std::string, 4>;  // 5 years, 10 years, end of data, median
using WeeklyS = std::vector<std::pair<int, double>>;

double S(const Workspace& ws, int week, int g) { return ws.survival.SurvivalTable[static_cast<std::size_t>(week)][kSurvival][g]; }

Summary SummaryOf(const Workspace& ws, int g) {
  const auto& t = ws.survival.GroupSummaryTexts[static_cast<std::size_t>(g)];
  return {t[kFiveYears], t[kTenYears], t[kDataMax], t[kMedian]};
}

TEST(BuildGroupTables, SingleGroupExamples) {
  struct Case {
    const char* name;
    std::vector<test::TestCase> cases;
    double lastEventWeek;
    WeeklyS survival;
    Summary summary;
  };
  const Case cases[] = {
      {"one censored case", Cases(1, {}, {10}), 10, {{0, 1}, {10, 1}}, {"   . ", "   . ", "100.0 % , 0y 2m", ""}},
      {"three deaths in a row", Cases(1, {0, 1, 2}), 2, {{0, 0.666}, {1, 0.333}, {2, 0}}, {"   . ", "   . ", "  0.0 % ,0.4m", "0.2m"}},
      {"death and censored case in one week", Cases(1, {5}, {5}), 5, {{4, 1}, {5, 0.5}}, {"   . ", "   . ", " 50.0 % , 0y 1m", " 0y 1m"}},
      {"last event one week before five years", Cases(1, {100}, {259, 259}), 259, {{259, 0.666}}, {"   . ", "   . ", " 66.6 % , 4y11m", ""}},
      {"survival 1 at five years and beyond", Cases(1, {}, {300, 600}), 600, {{260, 1}, {520, 1}}, {"100.0 %", "100.0 %", "100.0 % ,11y 6m", ""}},
  };
  for (const Case& c : cases) {
    Workspace ws;
    test::FillCases(ws, 1, c.cases);
    BuildGroupTables(ws);
    EXPECT_EQ(ws.survival.lastEventWeek[1], c.lastEventWeek) << c.name;
    for (auto [week, s] : c.survival) EXPECT_EQ(S(ws, week, 1), s) << c.name << " week " << week;
    EXPECT_EQ(SummaryOf(ws, 1), c.summary) << c.name;
  }
}

TEST(BuildGroupTables, ASecondLoadLeavesNothingOfTheFirst) {
  Workspace ws;
  test::FillCases(ws, 1, Cases(1, {900, 900}, {0, 0}));
  BuildGroupTables(ws);
  ws.cases = CaseData{};
  test::FillCases(ws, 1, Cases(1, {10}));
  BuildGroupTables(ws);
  EXPECT_EQ(ws.survival.AtRiskTable[500][1], 0);
  EXPECT_EQ(ws.survival.SurvivalTable[900][kDeaths][1], 0);
}

TEST(BuildPooledTable, PoolsTheShownGroups) {
  struct Case {
    const char* name;
    std::vector<int> hidden;
    double lastEventWeek;
    WeeklyS survival;
    Summary summary;
  };
  // A: a death in week 2; B: a case censored in week 4; C: 8 cases censored in week 3.
  const Case cases[] = {
      {"A and B", {3}, 4, {{1, 1}, {2, 0.5}, {4, 0.5}}, {"   . ", "   . ", " 50.0 % ,0.9m", "0.4m"}},
      {"B hidden leaves A alone", {2, 3}, 2, {{1, 1}, {2, 0}}, {"   . ", "   . ", "  0.0 % ,0.4m", "0.4m"}},
      {"a small group shown by the user", {}, 4, {{2, 0.9}}, {"   . ", "   . ", " 90.0 % ,0.9m", ""}},
      {"no shown group: empty, no 0 / 0", {1, 2, 3}, 0, {{0, 0}}, {"", "", "", ""}},
  };
  for (const Case& c : cases) {
    Workspace ws;
    test::FillCases(ws, 3, Join({Cases(1, {2}), Cases(2, {}, {4}), Cases(3, {}, {3, 3, 3, 3, 3, 3, 3, 3})}));
    for (int g : c.hidden) ws.styles[g].shown = 0;
    BuildGroupTables(ws);
    BuildPooledTable(ws);
    EXPECT_EQ(ws.survival.lastEventWeek[0], c.lastEventWeek) << c.name;
    EXPECT_EQ(ws.survival.SurvivalTable[0][kHazard][0], 0) << c.name;
    for (auto [week, s] : c.survival) EXPECT_EQ(S(ws, week, 0), s) << c.name << " week " << week;
    EXPECT_EQ(SummaryOf(ws, 0), c.summary) << c.name;
  }
}

}  // namespace
}  // namespace orv
