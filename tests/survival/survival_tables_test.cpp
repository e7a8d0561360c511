// Weekly survival tables per group and pooled, the analysis run after them (its label and X
// range), and a whole load.
#include "session/analysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/recording.h"
#include "support/test_support.h"
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
    test::FillCases(ws, c.groups);
    for (int g : c.hidden) ws.shown.Set(g, false);
    BuildGroupTables(ws);
    BuildPooledTable(ws);
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

// The range is only lowered, to the year boundary after the last shown event. With every
// group hidden there is nothing to fit: the range stays for the groups shown again, and the
// tests then run over the same weeks as before.
TEST(RunAnalysis, LabelAndFittedRange) {
  const test::DataSet tenTwelveTwenty = {{std::vector<int>(10, 5)}, {{}, std::vector<int>(12, 6)}, {std::vector<int>(20, 7)}};
  const struct { const char* name; test::DataSet groups; std::vector<int> hidden; int xMax, fitted; const char* label; } cases[] = {
      {"three shown groups of 10, 12 and 20", tenTwelveTwenty, {}, 2080, 52, "all Case ( n=42 )  "},
      {"the group of 12 hidden", tenTwelveTwenty, {2}, 2080, 52, "all Case ( n=30 )  "},
      {"nothing shown: a year of weeks", tenTwelveTwenty, {1, 2, 3}, 2080, 52, "all Case ( n=0 )  "},
      {"last events at 100 and 150", {{{100}}, {{}, {150}}}, {}, 260, 156, "all Case ( n=2 )  "},
      {"an exact multiple stays", {{{104}}, {{20}}}, {}, 260, 104, "all Case ( n=2 )  "},
      {"never raised", {{{300}}, {{20}}}, {}, 260, 260, "all Case ( n=2 )  "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Workspace ws;
    Surfaces surfaces;
    test::FillCases(ws, c.groups, c.xMax);
    for (int g : c.hidden) ws.shown.Set(g, false);
    ComputeGroupSurvival(ws, surfaces);
    ASSERT_EQ(std::tuple(ws.survival.GroupSummaryTexts[0][kLabel], ws.geometry.xMax), std::tuple(c.label, c.fitted));
    const std::string pText = ws.tests.PetoPText;
    const auto styles = ws.styles;
    for (int g = 1; g <= ws.cases.NumGroups; ++g) ws.shown.Set(g, false);
    ComputeAllCases(ws, surfaces);
    EXPECT_EQ(ws.geometry.xMax, c.fitted) << "all hidden";
    ws.styles = styles;
    ComputeAllCases(ws, surfaces);
    EXPECT_EQ(std::tuple(ws.geometry.xMax, ws.tests.PetoPText), std::tuple(c.fitted, pText)) << "shown again";
  }
}

TEST(LoadAndAnalyse, WholeChainThenANewSelection) {
  std::string file = "'two arms\r\n";
  for (int i = 1; i <= 8; ++i) file += "A," + std::to_string(7 * i) + ",死亡,癌\r\nB," + std::to_string(70 * i) + ",生存\r\n";
  const std::string path = test::WriteTempFile("orvantis_analysis_run.csv", file);
  Workspace bare, ws;
  RecordingCanvas screen, graph, legend, rate, cumulative, byCause;
  RecordingRichText report;
  RecordingResultText logRank("log-rank\r\n");
  RecordingMessageBoxes boxes;
  RecordingViewWindows views;
  Surfaces none, surfaces{&graph, &screen, &legend, &cumulative, &byCause, &rate, &report, &logRank, nullptr, &boxes, &views};
  LoadAndAnalyse(path, bare, none);
  LoadAndAnalyse(path, ws, surfaces);
  EXPECT_EQ(views.calls, 1);
  EXPECT_EQ(report.Runs().front(), (ColourRun{kBlue, path + "\t\r\n\r\n"}));
  EXPECT_NE(report.Text().find("総データ数 : 16\t\r\n修正データ数 : 0\t\r\n除外データ数 : 0\t"), std::string::npos);
  EXPECT_EQ(screen.Texts(), (std::vector<RecordingCanvas::PlacedText>{{100, 300, "死亡率計算中"}, {240, 70, "全体死亡率　初期化中"}}));
  for (const Workspace* w : {&bare, &ws}) {
    EXPECT_EQ(w->survival.GroupSummaryTexts[0][kLabel], "all Case ( n=16 )  ");
    EXPECT_EQ(w->survival.lastEventWeek[0], 80);
    EXPECT_EQ(w->tests.PetoPText, "p<0.001 ");
    // A: one death in each of weeks 1 to 8 of 8 cases, so S reaches 0.5 in week 4.
    EXPECT_EQ(w->survival.GroupSummaryTexts[1][kMedian], "0.9m");
  }
  // All cases shown, B hidden: the pool is A alone, every view is redrawn with it, and the
  // comparison of the two stays as it was.
  const GroupTestResults before = ws.tests;
  const std::string window = logRank.Text();
  for (RecordingCanvas* view : {&graph, &legend, &rate}) view->Reset();
  ws.shown.Set(0, true);
  ws.shown.Set(2, false);
  ComputeAllCases(ws, surfaces);
  const SurvivalTables& t = ws.survival;
  EXPECT_EQ(t.lastEventWeek[0], 8);
  EXPECT_EQ(t.GroupSummaryTexts[0], (std::array<std::string, 6>{"all Case ( n=8 )  ", "   . ", "   . ", "  0.0 % , 0y 1m", "0.9m", "  0.0 %"}));
  for (std::size_t w = 0; w <= kMaxWeek; ++w) {
    ASSERT_EQ(t.SurvivalTable[w][kSurvival][0], t.SurvivalTable[w][kSurvival][1]) << w;
    ASSERT_EQ(t.AtRiskTable[w][0], t.AtRiskTable[w][1]) << w;
  }
  EXPECT_EQ(legend.Texts(), (std::vector<RecordingCanvas::PlacedText>{
                                {10, 28, " 0 : "}, {130, 28, "all Case ( n=8 )  "}, {10, 68, " 1 : "}, {130, 68, "A ( n = 8 )"}}));
  const auto rateTexts = rate.Texts();
  EXPECT_NE(std::find(rateTexts.begin(), rateTexts.end(), RecordingCanvas::PlacedText{10, 80, " 0:   all Case ( n=8 )    "}),
            rateTexts.end());
  EXPECT_EQ(std::tuple(ws.tests.ShownGroupCount, ws.tests.PetoPText, ws.tests.PetoStatText), std::tuple(1, before.PetoPText, before.PetoStatText));
  EXPECT_EQ(ws.tests.pairs.LogRankChi2, before.pairs.LogRankChi2);
  EXPECT_EQ(logRank.Text(), window);
}

}  // namespace
}  // namespace orv
