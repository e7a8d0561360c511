// The analysis run and the chain that leads to it: labels, the fitted X range, progress
// texts, the one-group case, the range as the range of every test, and a whole load.
#include "survival/analysis.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/recording.h"
#include "support/test_support.h"
#include "survival/case_builder.h"

namespace orv {
namespace {

using test::FillCases;
using test::Join;
using test::kCensoredCase;
using test::kDeath;
using test::Repeat;
using test::TestCase;

TEST(RunAnalysis, AllCasesLabelCountsTheShownGroups) {
  struct Case {
    const char* name;
    std::vector<int> hidden;
    const char* label;
    Count total;
  };
  const Case cases[] = {
      {"three shown groups of 10, 12 and 20", {}, "all Case ( n=42 )  ", 42},
      {"the group of 12 hidden", {2}, "all Case ( n=30 )  ", 30},
      {"nothing shown", {1, 2, 3}, "all Case ( n=0 )  ", 0},
  };
  for (const Case& c : cases) {
    Workspace ws;
    Surfaces surfaces;
    FillCases(ws, 3, Join({Repeat(10, {1, 5, kDeath}), Repeat(12, {2, 6, kCensoredCase}), Repeat(20, {3, 7, kDeath})}));
    for (int g : c.hidden) ws.styles[g].shown = 0;
    ComputeGroupSurvival(ws, surfaces);
    EXPECT_EQ(ws.survival.GroupSummaryTexts[0][kLabel], c.label) << c.name;
    EXPECT_EQ(ws.survival.ShownCaseTotal, c.total) << c.name;
  }
}

TEST(RunAnalysis, RangeIsLoweredToTheNextYearBoundary) {
  struct Case {
    const char* name;
    std::vector<TestCase> cases;
    int xMax;
    int fitted;
  };
  const Case cases[] = {
      {"last events at 100 and 150", {{1, 100, kDeath}, {2, 150, kCensoredCase}}, 260, 156},
      {"an exact multiple stays", {{1, 104, kDeath}, {2, 20, kDeath}}, 260, 104},
      {"never raised", {{1, 300, kDeath}, {2, 20, kDeath}}, 260, 260},
  };
  for (const Case& c : cases) {
    Workspace ws;
    Surfaces surfaces;
    FillCases(ws, 2, c.cases, c.xMax);
    ComputeGroupSurvival(ws, surfaces);
    EXPECT_EQ(ws.geometry.xMax, c.fitted) << c.name;
  }
}

TEST(RunAnalysis, NarrowingTheRangeChangesEveryStatistic) {
  // Long follow-up: log-rank 1.83999 over all weeks, 3.23444 up to week 260 (survdiff).
  const std::vector<TestCase> cases = Join({
      std::vector<TestCase>{{1, 30, kDeath}, {1, 45, kDeath}, {1, 60, kDeath}, {1, 60, kDeath}, {1, 120, kDeath},
                            {1, 200, kDeath}, {1, 310, kDeath}, {1, 400, kDeath}, {1, 520, kDeath}, {1, 700, kDeath},
                            {1, 80, kCensoredCase}, {1, 150, kCensoredCase}, {1, 260, kCensoredCase},
                            {1, 600, kCensoredCase}, {1, 900, kCensoredCase}, {1, 1500, kCensoredCase}},
      std::vector<TestCase>{{2, 10, kDeath}, {2, 12, kDeath}, {2, 25, kDeath}, {2, 40, kDeath}, {2, 40, kDeath},
                            {2, 41, kDeath}, {2, 90, kDeath}, {2, 95, kDeath}, {2, 130, kDeath}, {2, 260, kDeath},
                            {2, 261, kDeath}, {2, 5, kCensoredCase}, {2, 50, kCensoredCase}, {2, 300, kCensoredCase},
                            {2, 1000, kCensoredCase}, {2, 2080, kCensoredCase}},
  });
  struct Case {
    int xMax;
    double logRank;
  };
  const Case steps[] = {{2080, 1.83999027862404}, {260, 3.23444609842316}};
  Workspace ws;
  Surfaces surfaces;
  FillCases(ws, 2, cases, 2080);
  ComputeGroupSurvival(ws, surfaces);
  double previousPeto = -1;
  for (const Case& s : steps) {
    ws.geometry.xMax = s.xMax;
    RunAnalysis(ws, surfaces);
    EXPECT_NEAR(ws.tests.pairs.LogRankChi2[1][2], s.logRank, s.logRank * 1e-12) << s.xMax;
    EXPECT_NE(ws.tests.petoStatistic, previousPeto) << s.xMax;
    previousPeto = ws.tests.petoStatistic;
  }
}

TEST(RunAnalysis, OneShownGroupRedrawsButComparesNothing) {
  Workspace ws;
  RecordingCanvas screen, graph, legend, rate, cumulative, byCause;
  RecordingResultText logRank("log-rank\r\n"), wilcoxon("General Wilcoxon\r\n");
  Surfaces surfaces;
  surfaces.screen = &screen;
  surfaces.graph = &graph;
  surfaces.legend = &legend;
  surfaces.survivalRate = &rate;
  surfaces.cumulativeDeaths = &cumulative;
  surfaces.deathsByCause = &byCause;
  surfaces.logRank = &logRank;
  surfaces.wilcoxon = &wilcoxon;
  FillCases(ws, 2, Join({Repeat(8, {1, 5, kDeath}), Repeat(3, {2, 6, kDeath})}), 260);
  ws.styles[2].shown = 0;
  ComputeGroupSurvival(ws, surfaces);

  EXPECT_EQ(ws.tests.ShownGroupCount, 1);
  EXPECT_EQ(ws.tests.PetoPText, "");
  EXPECT_EQ(logRank.Text(), "log-rank\r\n");
  EXPECT_EQ(wilcoxon.Text(), "General Wilcoxon\r\n");
  const std::vector<RecordingCanvas::PlacedText> progress = {{100, 300, "死亡率計算中"}, {240, 70, "全体死亡率　初期化中"}};
  const auto texts = screen.Texts();
  ASSERT_GE(texts.size(), progress.size());
  EXPECT_EQ(std::vector<RecordingCanvas::PlacedText>(texts.begin(), texts.begin() + 2), progress);
  struct View {
    const char* name;
    const RecordingCanvas* canvas;
  };
  const View views[] = {{"graph", &graph}, {"legend", &legend}, {"survival rate", &rate},
                        {"cumulative deaths", &cumulative}, {"deaths by cause", &byCause}};
  for (const View& v : views) EXPECT_FALSE(v.canvas->ops.empty()) << v.name;
}

TEST(LoadAndAnalyse, LoadsAndRunsTheWholeChain) {
  std::string file = "'two arms\r\n";
  for (int i = 0; i < 8; ++i) file += "A," + std::to_string(7 * (i + 1)) + ",死亡,癌\r\n";
  for (int i = 0; i < 8; ++i) file += "B," + std::to_string(70 * (i + 1)) + ",生存\r\n";
  const std::string path = test::WriteTempFile("orvantis_analysis_run.csv", file);

  struct Case {
    const char* name;
    bool withSurfaces;
  };
  const Case cases[] = {{"every surface", true}, {"no surfaces at all", false}};
  for (const Case& c : cases) {
    Workspace ws;
    RecordingRichText report;
    RecordingMessageBoxes boxes;
    RecordingViewWindows views;
    RecordingResultText logRank;
    Surfaces surfaces;
    if (c.withSurfaces) {
      surfaces.report = &report;
      surfaces.boxes = &boxes;
      surfaces.views = &views;
      surfaces.logRank = &logRank;
    }
    LoadAndAnalyse(path, ws, surfaces);
    EXPECT_EQ(ws.cases.NumGroups, 2) << c.name;
    EXPECT_EQ(ws.survival.GroupSummaryTexts[0][kLabel], "all Case ( n=16 )  ") << c.name;
    EXPECT_EQ(ws.tests.ShownGroupCount, 2) << c.name;
    EXPECT_EQ(ws.tests.PetoPText, "p<0.001 ") << c.name;
    // A: one death in each of weeks 1 to 8 of 8 cases, so S reaches 0.5 in week 4.
    EXPECT_EQ(ws.survival.GroupSummaryTexts[1][kMedian], "0.9m") << c.name;
    if (c.withSurfaces) {
      EXPECT_EQ(views.calls, 1) << c.name;
      EXPECT_FALSE(report.Text().empty()) << c.name;
      EXPECT_EQ(logRank.Text(), ws.tests.logRankTable) << c.name;
    }
  }
}

}  // namespace
}  // namespace orv
