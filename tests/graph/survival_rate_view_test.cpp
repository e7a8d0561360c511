// The survival-rate view: group rows by index, the "graph max" column and the test lines.
#include "stats/survival_rate_view.h"

#include <gtest/gtest.h>

#include "graph_fixture.h"

namespace orv {
namespace {

// Six groups, every summary text "c<column>", test results for the pair 2 and 5.
TEST(DrawSurvivalRateView, RowsColumnsAndTestLines) {
  struct Case {
    const char* name;
    std::vector<int> shown;
    int xMax, y;
    const char* row;
  };
  const Case cases[] = {
      {"headings at 5 years: no graph max", {2}, 260, 32, "320: 5(y)|420: 10(y)|520:data max|670: 50%"},
      {"headings at 10 years: no graph max", {2}, 520, 32, "320: 5(y)|420: 10(y)|520:data max|670: 50%"},
      {"headings at 261 weeks: graph max", {2}, 261, 32, "320: 5(y)|420: 10(y)|520:data max|670: 50%|760:graph max"},
      {"group row", {2}, 260, 160, "10: 2:   B ( n = 12 )  |320:c1|420:c2|520:c3|670:c4"},
      {"group row with graph max", {2}, 52, 160, "10: 2:   B ( n = 12 )  |320:c1|420:c2|520:c3|670:c4|760:c5"},
      {"all cases at 80", {0}, 260, 80, "10: 0:   c0  |320:c1|420:c2|520:c3|670:c4"},
      {"hidden group's row stays empty", {0, 3}, 260, 160, ""},
      {"pair 2 and 5 of 6: log-rank at 380", {2, 5}, 260, 380, "100:p=0.05 |200:Logrank   χ2 =   3.84145"},
      {"pair 2 and 5 of 6: Wilcoxon at 420", {0, 2, 5}, 260, 420, "100:p=0.3173 |200:General Wilcoxon χ2 =  12.3456"},
      {"pair 2 and 5 of 6: overall at 460", {2, 5}, 260, 460, "100:p=0.0099 |200:Logrank( Peto & Peto ) χ2 =   6.63500"},
      {"three groups: overall at 380", {1, 2, 5}, 260, 380, "100:p=0.0099 |200:Logrank( Peto & Peto ) χ2 =   6.63500"},
      {"three groups: nothing at 420", {1, 2, 5}, 260, 420, ""},
      {"one group: no test lines", {0, 5}, 260, 380, ""},
  };
  for (const Case& c : cases) {
    Workspace ws;
    ws.cases.NumGroups = 6;
    ws.geometry.xMax = c.xMax;
    for (int g = 0; g <= 6; ++g) ws.survival.GroupSummaryTexts[g] = {"c0", "c1", "c2", "c3", "c4", "c5"};
    ws.survival.GroupSummaryTexts[2][kLabel] = "B ( n = 12 )";
    for (int g : c.shown) {
      ws.styles[g].shown = 1;
      ws.tests.ShownGroupCount += g > 0 ? 1 : 0;
    }
    PairStats& p = ws.tests.pairs;
    p.LogRankP[2][5] = 0.0500435;
    p.LogRankChi2[2][5] = 3.8414588;
    p.WilcoxonP[2][5] = 0.3173105;
    p.WilcoxonChi2[2][5] = 12.345678;
    ws.tests.PetoPText = "p=0.0099 ";
    ws.tests.PetoStatText = "  6.63500";
    RecordingCanvas view;
    DrawSurvivalRateView(ws, &view);
    EXPECT_EQ(test::TextsAt(view, c.y), c.row) << c.name;
  }
}

}  // namespace
}  // namespace orv
