// The survival-rate view: group rows by index, the "graph max" column and the test lines.
#include "stats/survival_rate_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graph_fixture.h"

namespace orv {
namespace {

using Text = RecordingCanvas::PlacedText;

// Six groups with test results for the pair 2 and 5 and an overall statistic.
std::unique_ptr<Workspace> SixGroups(const std::vector<int>& shown, int xMax) {
  auto ws = std::make_unique<Workspace>();
  ws->cases.NumGroups = 6;
  ws->geometry.xMax = xMax;
  for (int g = 0; g <= 6; ++g) {
    auto& texts = ws->survival.GroupSummaryTexts[g];
    texts = {"label", "c1", "c2", "c3", "c4", "c5"};
  }
  ws->survival.GroupSummaryTexts[2][kLabel] = "B ( n = 12 )";
  for (int g : shown) ws->styles[g].shown = 1;
  int count = 0;
  for (int g : shown) count += g > 0 ? 1 : 0;
  ws->tests.ShownGroupCount = count;
  PairStats& p = ws->tests.pairs;
  p.LogRankP[2][5] = 0.0500435;
  p.LogRankChi2[2][5] = 3.8414588;
  p.WilcoxonP[2][5] = 0.3173105;
  p.WilcoxonChi2[2][5] = 12.345678;
  ws->tests.PetoPText = "p=0.0099 ";
  ws->tests.PetoStatText = "  6.63500";
  return ws;
}

TEST(DrawSurvivalRateView, TestLinesBelowTheLastGroupRow) {
  struct Case {
    const char* name;
    std::vector<int> shown;
    std::vector<Text> lines;  // everything below the rows of six groups
  };
  const Case cases[] = {
      {"two shown groups 2 and 5 of 6",
       {2, 5},
       {{100, 380, "p=0.05 "}, {200, 380, "Logrank   χ2 =   3.84145"}, {100, 420, "p=0.3173 "},
        {200, 420, "General Wilcoxon χ2 =  12.3456"}, {100, 460, "p=0.0099 "}, {200, 460, "Logrank( Peto & Peto ) χ2 =   6.63500"}}},
      {"all cases does not count as a group of the pair",
       {0, 2, 5},
       {{100, 380, "p=0.05 "}, {200, 380, "Logrank   χ2 =   3.84145"}, {100, 420, "p=0.3173 "},
        {200, 420, "General Wilcoxon χ2 =  12.3456"}, {100, 460, "p=0.0099 "}, {200, 460, "Logrank( Peto & Peto ) χ2 =   6.63500"}}},
      {"three shown groups: the overall line only",
       {1, 2, 5},
       {{100, 380, "p=0.0099 "}, {200, 380, "Logrank( Peto & Peto ) χ2 =   6.63500"}}},
      {"one shown group: no test lines", {0, 5}, {}},
  };
  for (const Case& c : cases) {
    auto ws = SixGroups(c.shown, 260);
    RecordingCanvas view;
    DrawSurvivalRateView(*ws, &view);
    std::vector<Text> lines;
    for (const Text& t : view.Texts()) {
      if (t.y >= 360) lines.push_back(t);
    }
    EXPECT_EQ(lines, c.lines) << c.name;
  }
}

TEST(DrawSurvivalRateView, GraphMaxColumnOnlyOffTheYearColumns) {
  struct Case {
    const char* name;
    int xMax;
    std::vector<int> shown;
    int y;
    std::vector<Text> row;
  };
  const std::vector<Text> fourHeadings{{320, 32, " 5(y)"}, {420, 32, " 10(y)"}, {520, 32, "data max"}, {670, 32, " 50%"}};
  std::vector<Text> fiveHeadings = fourHeadings;
  fiveHeadings.push_back({760, 32, "graph max"});
  const Case cases[] = {
      {"five years: no graph max", 260, {2}, 32, fourHeadings},
      {"ten years: no graph max", 520, {2}, 32, fourHeadings},
      {"261 weeks: graph max", 261, {2}, 32, fiveHeadings},
      {"one year: graph max", 52, {2}, 32, fiveHeadings},
      {"group row",
       260,
       {2},
       160,
       {{10, 160, " 2:   B ( n = 12 )  "}, {320, 160, "c1"}, {420, 160, "c2"}, {520, 160, "c3"}, {670, 160, "c4"}}},
      {"group row with graph max",
       300,
       {2},
       160,
       {{10, 160, " 2:   B ( n = 12 )  "}, {320, 160, "c1"}, {420, 160, "c2"}, {520, 160, "c3"}, {670, 160, "c4"}, {760, 160, "c5"}}},
      {"all cases row at 80", 260, {0}, 80,
       {{10, 80, " 0:   label  "}, {320, 80, "c1"}, {420, 80, "c2"}, {520, 80, "c3"}, {670, 80, "c4"}}},
      {"hidden group leaves its row empty", 260, {0, 3}, 160, {}},
  };
  for (const Case& c : cases) {
    auto ws = SixGroups(c.shown, c.xMax);
    RecordingCanvas view;
    DrawSurvivalRateView(*ws, &view);
    EXPECT_EQ(test::TextsAtY(view, c.y), c.row) << c.name;
  }
}

}  // namespace
}  // namespace orv
