// What a load leaves behind in the case tables: groups and causes, totals, flags, sizes and
// the reset before the next load (the report's text and colour runs are the goldens').
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "data/loader.h"
#include "load_helpers.h"

namespace orv::test {
namespace {

std::string Rows(int count, const std::string& row) {
  std::string out;
  for (int i = 0; i < count; ++i) out += row + "\r\n";
  return out;
}

struct Figure { const char* name; Count got, want; };

TEST(CaseTables, GroupsAndCausesInOrderOfFirstAppearance) {
  std::string manyGroups, manyCauses;
  for (int i = 1; i <= 25; ++i) manyGroups.append("G").append(std::to_string(i)).append(",7,生存\r\n");
  for (int i = 1; i <= 25; ++i) manyCauses.append("A,7,死亡,C").append(std::to_string(i)).append("\n");
  const std::string longName(300, 'G'), farRow = longName + "," + std::string(300, ' ') + "7,生存";
  // The last two group names in use, and the rows of the last group.
  struct { const char* name; std::string file; int numGroups, numCauses; std::string before, last; int lastRows; } cases[] = {
      {"25 names: six in 20 over", manyGroups + "G2,7,生存\r\nG25,7,生存\r\n", 20, 0, "G19", "20 over", 7},
      {"25 causes: six in 20 over", manyCauses, 1, 20, "all Cases", "A", 25},
      {"fields beyond byte 255", longName + ",7,死亡," + longName + "\n" + farRow, 1, 1, "all Cases", longName, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto l = Load(c.file);
    const CaseData& cd = l->ws.cases;
    const auto n = static_cast<std::size_t>(c.numGroups);
    EXPECT_EQ(std::tuple(cd.NumGroups, cd.NumCauses, cd.GroupNames[n - 1], cd.GroupNames[n], cd.GroupTotals[0][n]),
              std::tuple(c.numGroups, c.numCauses, c.before, c.last, c.lastRows));
  }
  const auto causes = Load(manyCauses);
  const CaseData& cd = causes->ws.cases;
  // The last two causes, the deaths of the overflow cause, the width of the view by cause.
  EXPECT_EQ(std::tuple(cd.CauseNames[19], cd.CauseNames[20], cd.DeathsByCause[1][20], causes->ws.viewSizes.byCauseWidth),
            std::tuple("C19", "20 over", 6, 20 * 60 + 600));
}

TEST(CaseTables, TotalsLabelsShownFlagsAndTheResetOfTheNextLoad) {
  // Group A: 8 rows (3 deaths by cancer, one censored cause), B: 7 rows, C: a correction.
  auto l = std::make_unique<Loaded>();
  l->ws.cases.CauseCensored[2] = 1;  // the second cause of the file: 事故
  l = Load(Rows(4, "A,70,生存") + Rows(3, "A,7000,死亡,癌") + "A,14,死亡,事故\n" + Rows(7, "B,7,生存") + "C,7,死亡",
           std::move(l));
  const CaseData& cd = l->ws.cases;
  const Figure cases[] = {
      {"A rows", cd.GroupTotals[0][1], 8}, {"A censored", cd.GroupTotals[1][1], 5},
      {"A deaths", cd.GroupTotals[2][1], 3}, {"A both", cd.GroupTotals[3][1], 8},
      {"censored cause counted as censored", cd.WeekCounts[2][1][1], 1}, {"and not as death", cd.WeekCounts[2][2][1], 0},
      {"censored cause still by cause", cd.DeathsByCause[1][2], 1}, {"alive, all groups", cd.DeathsByCause[0][0], 11},
      {"group 0 never counted", cd.GroupTotals[0][0], 0}, {"A shown with 8", l->ws.shown.Contains(1), 1},
      {"B hidden with 7", l->ws.shown.Contains(2), 0}, {"longest period", cd.dataMaxWeeks, 1000},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
  EXPECT_EQ(l->ws.survival.GroupSummaryTexts[1][kLabel] + "|" + l->ws.survival.GroupSummaryTexts[2][kLabel], "A ( n = 8 )|B ( n = 7 )");
  l->ws.survival.SurvivalTable[3][kSurvival][1] = 0.5;
  l->ws.survival.AtRiskTable[3][1] = 9;
  l->ws.survival.GroupSummaryTexts[1][kMedian] = "x";
  l->ws.geometry.xMax = 1000;
  l->ws.geometry.tickStep = 104;
  l->ws.shown.Set(0, true), l->ws.shown.Set(2, true);  // the user showed all cases and B
  l = Load(Rows(3, "X,14,生存"), std::move(l));
  const Workspace& ws = l->ws;
  const Figure reset[] = {
      {"groups", ws.cases.NumGroups, 1}, {"causes reset after deaths", ws.cases.NumCauses, 0},
      {"old cause deaths gone", ws.cases.DeathsByCause[0][1], 0}, {"old week counts", ws.cases.WeekCounts[1000][2][1], 0},
      {"old totals gone", ws.cases.GroupTotals[0][2], 0}, {"at risk", ws.survival.AtRiskTable[3][1], 0},
      {"all cases hidden again", ws.shown.Contains(0), 0}, {"old group B hidden", ws.shown.Contains(2), 0},
      {"x range", ws.geometry.xMax, 260}, {"tick step", ws.geometry.tickStep, 52},
      {"longest", ws.cases.dataMaxWeeks, 2}, {"rows", ws.cases.counters.total, 3},
      {"corrections", ws.cases.counters.corrected, 0},
  };
  for (const auto& c : reset) EXPECT_EQ(c.got, c.want) << c.name;
  EXPECT_EQ(ws.survival.SurvivalTable[3][kSurvival][1], 0.0);
  EXPECT_EQ(ws.cases.CauseNames[1] + ws.cases.GroupNames[2] + ws.survival.GroupSummaryTexts[1][kMedian], "");
}

// Each view window grows by a row of 40 pixels per group; the survival-rate view keeps two
// rows more for the test lines of a single pair, so two groups take it one row beyond three.
TEST(CaseTables, ViewWindowsGrowByARowPerGroup) {
  using V = ViewSizes;
  const V two = Load("A,7,生存\nB,7,死亡,癌\n")->ws.viewSizes, three = Load("A,7,生存\nB,7,生存\nC,7,生存\n")->ws.viewSizes;
  const struct { const char* view; int V::*height; int growth; } views[] = {
      {"legend", &V::legendHeight, 40}, {"log-rank", &V::logRankHeight, 40}, {"Wilcoxon", &V::wilcoxonHeight, 40},
      {"cumulative", &V::cumulativeHeight, 40}, {"by one cause", &V::byCauseHeight, 40}, {"survival rate", &V::survivalRateHeight, -40},
      {"number at risk", &V::numberAtRiskHeight, 40}, {"intervals", &V::intervalsHeight, 40},
  };
  for (const auto& v : views) EXPECT_EQ(three.*v.height - two.*v.height, v.growth) << v.view;
}

}  // namespace
}  // namespace orv::test
