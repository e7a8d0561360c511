// Weekly survival tables per group and pooled.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "survival/case_builder.h"

namespace orv {
namespace {

using Summary = std::array<std::string, 4>;  // 5 years, 10 years, end of data, median
using WeeklyS = std::vector<std::pair<int, double>>;

TEST(SurvivalTables, GroupAndPooledExamples) {
  // A: a death in week 2; B: a case censored in week 4; C: 8 cases censored in week 3.
  const test::DataSet abc = {{{2}}, {{}, {4}}, {{}, {3, 3, 3, 3, 3, 3, 3, 3}}};
  // g is the group checked; 0 is the pool of the shown groups.
  const struct { const char* name; test::DataSet groups; std::vector<int> hidden; std::size_t g;
                 double lastEventWeek; WeeklyS survival; Summary summary; } cases[] = {
      // First and longest, so the cases after it also show that a load leaves nothing of the one before.
      {"survival 1 at five years and beyond", {{{}, {300, 600}}}, {}, 1, 600, {{260, 1}, {520, 1}}, {"100.0 %", "100.0 %", "100.0 % ,11y 6m", ""}},
      {"one censored case", {{{}, {10}}}, {}, 1, 10, {{0, 1}, {10, 1}}, {"   . ", "   . ", "100.0 % , 0y 2m", ""}},
      {"three deaths in a row", {{{0, 1, 2}}}, {}, 1, 2, {{0, 2.0 / 3}, {1, 1.0 / 3}, {2, 0}}, {"   . ", "   . ", "  0.0 % ,0.4m", "0.2m"}},
      {"death and censored case in one week", {{{5}, {5}}}, {}, 1, 5, {{4, 1}, {5, 0.5}}, {"   . ", "   . ", " 50.0 % , 0y 1m", " 0y 1m"}},
      // 23/24 x 22/23 x ... x 12/13 lands a rounding error above 0.5 and still counts as 0.5.
      {"half reached a rounding error above it", {{{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, std::vector<int>(12, 30)}}, {}, 1, 30, {{11, 0.5}}, {"   . ", "   . ", " 50.0 % , 0y 6m", " 0y 2m"}},
      {"last event one week before five years", {{{100}, {259, 259}}}, {}, 1, 259, {{259, 2.0 / 3}}, {"   . ", "   . ", " 66.6 % , 4y11m", ""}},
      {"pool of A and B", abc, {3}, 0, 4, {{1, 1}, {2, 0.5}, {4, 0.5}}, {"   . ", "   . ", " 50.0 % ,0.9m", "0.4m"}},
      {"pool with B hidden is A alone", abc, {2, 3}, 0, 2, {{1, 1}, {2, 0}}, {"   . ", "   . ", "  0.0 % ,0.4m", "0.4m"}},
      {"pool with a small group shown by the user", abc, {}, 0, 4, {{2, 0.9}}, {"   . ", "   . ", " 90.0 % ,0.9m", ""}},
      {"pool of no shown group: empty, no 0 / 0", abc, {1, 2, 3}, 0, 0, {{0, 0}}, {"", "", "", ""}},
  };
  Workspace ws;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::Analyse(ws, c.groups, 2080, c.hidden);
    const SurvivalTables& t = ws.survival;
    EXPECT_EQ(t.lastEventWeek[c.g], c.lastEventWeek);
    for (auto [week, s] : c.survival) EXPECT_DOUBLE_EQ(t.SurvivalTable[static_cast<std::size_t>(week)][kSurvival][c.g], s) << week;
    // Every week after the last event holds nothing.
    const auto after = static_cast<std::size_t>(c.lastEventWeek) + 1;
    for (int slot = kCensored; slot <= kSurvival; ++slot) EXPECT_EQ(t.SurvivalTable[after][slot][c.g], 0) << slot;
    EXPECT_EQ(t.AtRiskTable[after][c.g], 0);
    const auto& texts = t.GroupSummaryTexts[c.g];
    EXPECT_EQ((Summary{texts[kFiveYears], texts[kTenYears], texts[kDataMax], texts[kMedian]}), c.summary);
  }
}

}  // namespace
}  // namespace orv
