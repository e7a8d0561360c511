// What a load leaves in the case tables: groups and causes, totals, flags, sizes, the reset.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/loader.h"
#include "load_helpers.h"

namespace orv::test {
namespace {

std::string Rows(int count, const std::string& row) {
  std::string out;
  for (int i = 0; i < count; ++i) out += row + "\r\n";
  return out;
}

TEST(CaseTables, GroupsAndCausesInOrderOfFirstAppearance) {
  std::string manyGroups, manyCauses;
  for (int i = 1; i <= 25; ++i) manyGroups.append("G").append(std::to_string(i)).append(",7,生存\r\n");
  manyGroups += "G2,7,生存\r\nG25,7,生存\r\n";
  for (int i = 1; i <= 25; ++i) manyCauses.append("A,7,死亡,C").append(std::to_string(i)).append("\n");
  const std::string longName(300, 'G');
  const struct {
    const char* name;
    std::string file;
    int numGroups, numCauses;
    std::vector<std::string> groups;  // GroupNames 1.. as expected
    int lastGroupRows;                // GroupTotals[0] of the last group listed
  } cases[] = {
      {"25 names: six in 20 over", manyGroups, 20, 0, {"G1", "G2", "G3", "G4", "G5", "G6", "G7", "G8", "G9", "G10", "G11",
        "G12", "G13", "G14", "G15", "G16", "G17", "G18", "G19", "20 over"}, 7},
      {"25 causes: six in 20 over", manyCauses, 1, 20, {"A"}, 25},
      {"names are case-sensitive", "A,7,生存\na,7,生存\nA,7,生存\n", 2, 0, {"A", "a"}, 1},
      {"names are trimmed", "\" A\",7,生存\nA　,7,生存\n", 1, 0, {"A"}, 2},
      {"fields beyond byte 255", longName + ",7,死亡," + longName + "\n" + longName + "," + std::string(300, ' ') + "7,生存",
       1, 1, {longName}, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto l = Load(c.file);
    const CaseData& cd = l->ws.cases;
    EXPECT_EQ(cd.NumGroups, c.numGroups);
    EXPECT_EQ(cd.NumCauses, c.numCauses);
    for (std::size_t g = 0; g < c.groups.size(); ++g) EXPECT_EQ(cd.GroupNames[g + 1], c.groups[g]);
    EXPECT_EQ(cd.GroupTotals[0][c.groups.size()], c.lastGroupRows);
    EXPECT_EQ(cd.GroupNames[0], "all Cases");
  }
  auto causes = Load(manyCauses);
  EXPECT_EQ(causes->ws.cases.CauseNames[19], "C19");
  EXPECT_EQ(causes->ws.cases.CauseNames[20], "20 over");
  EXPECT_EQ(causes->ws.cases.DeathsByCause[1][20], 6);
  EXPECT_EQ(causes->ws.viewSizes.byCauseWidth, 20 * 60 + 600);
}

TEST(CaseTables, TotalsLabelsAndShownFlags) {
  // Group A: 8 rows (3 deaths by cancer, one censored cause), B: 7 rows.
  const std::string file = Rows(4, "A,70,生存") + Rows(3, "A,700,死亡,癌") + "A,14,死亡,事故\n" + Rows(7, "B,7,生存");
  auto l = std::make_unique<Loaded>();
  l->ws.cases.CauseCensored[2] = 1;  // the second cause of the file: 事故
  l = Load(file, std::move(l));
  const CaseData& cd = l->ws.cases;
  const struct {
    const char* name;
    Count got, want;
  } cases[] = {
      {"A rows", cd.GroupTotals[0][1], 8}, {"A censored", cd.GroupTotals[1][1], 5}, {"A deaths", cd.GroupTotals[2][1], 3},
      {"A both", cd.GroupTotals[3][1], 8}, {"B rows", cd.GroupTotals[0][2], 7}, {"B both", cd.GroupTotals[3][2], 7},
      {"censored cause counted as censored", cd.WeekCounts[2][1][1], 1}, {"and not as death", cd.WeekCounts[2][2][1], 0},
      {"censored cause still by cause", cd.DeathsByCause[1][2], 1}, {"cancer by cause", cd.DeathsByCause[1][1], 3},
      {"alive, all groups", cd.DeathsByCause[0][0], 11}, {"group 0 never counted", cd.GroupTotals[0][0], 0},
      {"A shown with 8", l->ws.styles[1].shown, 1}, {"B hidden with 7", l->ws.styles[2].shown, 0},
      {"longest period", cd.dataMaxWeeks, 100},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
  EXPECT_EQ(l->ws.survival.GroupSummaryTexts[1][kLabel], "A ( n = 8 )");
  EXPECT_EQ(l->ws.survival.GroupSummaryTexts[2][kLabel], "B ( n = 7 )");
}

TEST(CaseTables, ViewSizesFollowGroupsAndCauses) {
  const struct {
    const char* name;
    std::string file;
    ViewSizes want;
  } cases[] = {
      {"no rows", "", {500, 600, 400, 200, 620, 280, 620, 280, 1000, 200, 600, 200, 900, 320}},
      {"two groups", "A,7,生存\nB,7,死亡,癌\n", {500, 600, 400, 280, 620, 360, 620, 360, 1000, 280, 660, 280, 900, 400}},
      {"three groups", "A,7,生存\nB,7,生存\nC,7,生存\n", {500, 600, 400, 320, 620, 400, 620, 400, 1000, 320, 600, 320, 900, 360}},
  };
  for (const auto& c : cases) EXPECT_EQ(Load(c.file)->ws.viewSizes, c.want) << c.name;
}

TEST(CaseTables, LinesEndAtCrOrLf) {
  const struct {
    const char* name;
    std::string file;
    std::string body;
    Count rows = 2;
  } cases[] = {
      {"CR LF", "A,7,生存\r\nB,7,生存\r\n", "A,7,生存\t\t\r\nB,7,生存\t\t\r\n"},
      {"last line without break", "A,7,生存\nB,7,生存", "A,7,生存\t\t\r\nB,7,生存\t\t\r\n"},
      {"LF LF is one break", "A,7,生存\n\nB,7,生存", "A,7,生存\t\t\r\nB,7,生存\t\t\r\n"},
      {"CR CR makes an empty line", "A,7,生存\r\rB,7,生存", "A,7,生存\t\t\r\n\t\r\nB,7,生存\t\t\r\n"},
      {"CR LF LF makes an empty line", "A,7,生存\r\n\nB,7,生存", "A,7,生存\t\t\r\n\t\r\nB,7,生存\t\t\r\n"},
      {"comment looking like a row", "'A,7,生存\r\n", "'A,7,生存\t\r\n", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto l = Load(c.file);
    EXPECT_EQ(l->Body(), c.body);
    EXPECT_EQ(l->ws.cases.counters.total, c.rows);
  }
}

TEST(CaseTables, EveryLoadStartsAfresh) {
  auto l = Load(Rows(9, "A,7000,死亡,癌") + Rows(9, "B,7,生存") + "C,7,死亡\n");
  l->ws.survival.SurvivalTable[3][kSurvival][1] = 0.5;
  l->ws.survival.AtRiskTable[3][1] = 9;
  l->ws.survival.GroupSummaryTexts[1][kMedian] = "x";
  l->ws.geometry.xMax = 1000;
  l->ws.geometry.tickStep = 104;
  l = Load(Rows(3, "X,14,生存"), std::move(l));
  const Workspace& ws = l->ws;
  const struct {
    const char* name;
    Count got, want;
  } cases[] = {
      {"groups", ws.cases.NumGroups, 1}, {"causes reset after deaths", ws.cases.NumCauses, 0},
      {"old cause deaths gone", ws.cases.DeathsByCause[0][1], 0},
      {"old week counts gone", ws.cases.WeekCounts[1000][2][1], 0},
      {"old totals gone", ws.cases.GroupTotals[0][2], 0},
      {"at risk", ws.survival.AtRiskTable[3][1], 0}, {"shown flag", ws.styles[2].shown, 0},
      {"x range", ws.geometry.xMax, 260}, {"tick step", ws.geometry.tickStep, 52}, {"longest", ws.cases.dataMaxWeeks, 2},
      {"rows", (ws.cases.counters.total), 3},
      {"corrections", (ws.cases.counters.corrected), 0},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
  EXPECT_EQ(ws.survival.SurvivalTable[3][kSurvival][1], 0.0);
  EXPECT_EQ(ws.cases.CauseNames[1], "");
  EXPECT_EQ(ws.cases.GroupNames[2], "");
  EXPECT_EQ(ws.survival.GroupSummaryTexts[1][kMedian], "");
}

TEST(CaseTables, MillionRowsCountExactly) {
  // 700,000 rows of one group in one week: far beyond what 16-bit counts hold.
  std::string file;
  file.reserve(12'000'000);
  for (int i = 0; i < 1'000'000; ++i) {
    file += i < 700'000 ? "A,7,死亡,癌\r\n" : i % 2 ? "B,14,生存\r\n" : "C,x\r\n";
  }
  auto l = Load(file);
  const CaseData& cd = l->ws.cases;
  EXPECT_EQ(cd.counters.total, 1'000'000);
  EXPECT_EQ(cd.counters.excluded, 150'000);
  EXPECT_EQ(cd.WeekCounts[1][2][1], 700'000);
  EXPECT_EQ(cd.GroupTotals[3][2], 150'000);
  EXPECT_EQ(cd.DeathsByCause[0][1], 700'000);
  EXPECT_EQ(l->ws.survival.GroupSummaryTexts[1][kLabel], "A ( n = 700000 )");
  EXPECT_NE(l->report.Text().find("総データ数 : 1000000\t"), std::string::npos);
}

}  // namespace
}  // namespace orv::test
