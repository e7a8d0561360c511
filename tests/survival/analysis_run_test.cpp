// The analysis run and the chain that leads to it: label, fitted X range, the range as the
// range of every test, progress texts, the one-group case and a whole load.
#include "survival/analysis.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/recording.h"
#include "support/test_support.h"
#include "survival/case_builder.h"

namespace orv {
namespace {

using test::Cases;
using test::Join;

TEST(RunAnalysis, AllCasesLabelCountsTheShownGroups) {
  struct Case {
    const char* name;
    std::vector<int> hidden;
    const char* label;
  };
  const Case cases[] = {
      {"three shown groups of 10, 12 and 20", {}, "all Case ( n=42 )  "},
      {"the group of 12 hidden", {2}, "all Case ( n=30 )  "},
      {"nothing shown", {1, 2, 3}, "all Case ( n=0 )  "},
  };
  for (const Case& c : cases) {
    Workspace ws;
    Surfaces surfaces;
    test::FillCases(ws, 3, Join({Cases(1, std::vector<int>(10, 5)), Cases(2, {}, std::vector<int>(12, 6)),
                                 Cases(3, std::vector<int>(20, 7))}));
    for (int g : c.hidden) ws.styles[g].shown = 0;
    ComputeGroupSurvival(ws, surfaces);
    EXPECT_EQ(ws.survival.GroupSummaryTexts[0][kLabel], c.label) << c.name;
  }
}

TEST(RunAnalysis, RangeIsLoweredToTheNextYearBoundary) {
  struct Case {
    const char* name;
    std::vector<test::TestCase> cases;
    int fitted;
  };
  const Case cases[] = {
      {"last events at 100 and 150", Join({Cases(1, {100}), Cases(2, {}, {150})}), 156},
      {"an exact multiple stays", Join({Cases(1, {104}), Cases(2, {20})}), 104},
      {"never raised", Join({Cases(1, {300}), Cases(2, {20})}), 260},
  };
  for (const Case& c : cases) {
    Workspace ws;
    Surfaces surfaces;
    test::FillCases(ws, 2, c.cases, 260);
    ComputeGroupSurvival(ws, surfaces);
    EXPECT_EQ(ws.geometry.xMax, c.fitted) << c.name;
  }
}

TEST(RunAnalysis, NarrowingTheRangeChangesEveryStatistic) {
  struct Case {
    int xMax;
    double logRank, overall;  // survdiff, stats/reference/pairwise_logrank.out
    const char* pText;
    const char* statText;
  };
  const Case steps[] = {{2080, 1.83999027862404, 1.79175064547839, "p=0.1807 ", "1.7917 "},
                        {260, 3.23444609842316, 3.17765739201612, "p=0.0746 ", "3.1776 "}};
  Workspace ws;
  Surfaces surfaces;
  test::FillCases(ws, 2, test::LongFollowUp(), 2080);
  ComputeGroupSurvival(ws, surfaces);
  for (const Case& s : steps) {
    ws.geometry.xMax = s.xMax;
    RunAnalysis(ws, surfaces);
    EXPECT_NEAR(ws.tests.pairs.LogRankChi2[1][2], s.logRank, s.logRank * 1e-12) << s.xMax;
    EXPECT_NEAR(ws.tests.petoStatistic, s.overall, s.overall * 1e-12) << s.xMax;
    EXPECT_EQ(ws.tests.PetoPText, s.pText) << s.xMax;
    EXPECT_EQ(ws.tests.PetoStatText, s.statText) << s.xMax;
  }
}

TEST(RunAnalysis, OneShownGroupRedrawsButComparesNothing) {
  Workspace ws;
  RecordingCanvas screen, graph, legend, rate, cumulative, byCause;
  RecordingResultText logRank("log-rank\r\n");
  Surfaces surfaces{&graph, &screen, &legend, &cumulative, &byCause, &rate, nullptr, &logRank};
  test::FillCases(ws, 2, Join({Cases(1, std::vector<int>(8, 5)), Cases(2, {6, 6, 6})}), 260);
  ws.styles[2].shown = 0;
  ComputeGroupSurvival(ws, surfaces);

  EXPECT_EQ(ws.tests.ShownGroupCount, 1);
  EXPECT_EQ(ws.tests.PetoPText, "");
  EXPECT_EQ(logRank.Text(), "log-rank\r\n");
  const std::vector<RecordingCanvas::PlacedText> progress = {{100, 300, "死亡率計算中"}, {240, 70, "全体死亡率　初期化中"}};
  const auto texts = screen.Texts();
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(std::vector<RecordingCanvas::PlacedText>(texts.begin(), texts.begin() + 2), progress);
  for (const RecordingCanvas* view : {&graph, &legend, &rate, &cumulative, &byCause}) EXPECT_FALSE(view->ops.empty());
}

TEST(LoadAndAnalyse, LoadsAndRunsTheWholeChain) {
  std::string file = "'two arms\r\n";
  for (int i = 1; i <= 8; ++i) file += "A," + std::to_string(7 * i) + ",死亡,癌\r\nB," + std::to_string(70 * i) + ",生存\r\n";
  const std::string path = test::WriteTempFile("orvantis_analysis_run.csv", file);
  for (const bool withSurfaces : {true, false}) {
    Workspace ws;
    RecordingRichText report;
    RecordingMessageBoxes boxes;
    RecordingViewWindows views;
    Surfaces surfaces;
    if (withSurfaces) surfaces = Surfaces{.report = &report, .boxes = &boxes, .views = &views};
    LoadAndAnalyse(path, ws, surfaces);
    EXPECT_EQ(ws.survival.GroupSummaryTexts[0][kLabel], "all Case ( n=16 )  ") << withSurfaces;
    EXPECT_EQ(ws.tests.PetoPText, "p<0.001 ") << withSurfaces;
    // A: one death in each of weeks 1 to 8 of 8 cases, so S reaches 0.5 in week 4.
    EXPECT_EQ(ws.survival.GroupSummaryTexts[1][kMedian], "0.9m") << withSurfaces;
    EXPECT_EQ(views.calls, withSurfaces ? 1 : 0);
    EXPECT_EQ(report.Text().empty(), !withSurfaces);
  }
}

}  // namespace
}  // namespace orv
