// The number-at-risk view, read back from a recorded canvas: year columns, one row per shown
// group, the totals row.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "graph/number_at_risk.h"
#include "platform/recording.h"

namespace orv {
namespace {

// "x:text|x:text" of the texts drawn at height y.
std::string TextsAt(const RecordingCanvas& c, int y) {
  std::string out;
  for (const auto& t : c.Texts()) {
    if (t.y == y) out.append(out.empty() ? "" : "|").append(std::to_string(t.x)).append(":").append(t.text);
  }
  return out;
}

std::string Joined(const std::vector<int>& years) {
  std::string out;
  for (int y : years) out.append(out.empty() ? "" : " ").append(std::to_string(y));
  return out;
}

TEST(NumberAtRiskYears, EveryYearUpToElevenColumnsThenWiderSteps) {
  struct Case { const char* name; int xMax; const char* years; };
  const Case cases[] = {
      {"no range", -1, ""},
      {"under a year: week 0 alone", 51, "0"},
      {"one year", 52, "0 1"},
      {"ten years: eleven columns", 520, "0 1 2 3 4 5 6 7 8 9 10"},
      {"a week short of eleven years", 571, "0 1 2 3 4 5 6 7 8 9 10"},
      {"eleven years: every second year", 572, "0 2 4 6 8 10"},
      {"twenty years: eleven columns again", 1040, "0 2 4 6 8 10 12 14 16 18 20"},
      {"twenty-one years: still every second", 1092, "0 2 4 6 8 10 12 14 16 18 20"},
      {"twenty-two years: every fourth", 1144, "0 4 8 12 16 20"},
      {"forty years", 2080, "0 4 8 12 16 20 24 28 32 36 40"},
  };
  for (const Case& c : cases) EXPECT_EQ(Joined(NumberAtRiskYears(c.xMax)), c.years) << c.name;
}

// Groups A, B, C with their numbers at risk at years 0, 1, 2; B hidden; A's marks stop at
// year 1 (the run's range was shorter), so its year 2 reads 0.
TEST(DrawNumberAtRisk, RowsOfShownGroupsAndTotals) {
  auto ws = std::make_unique<Workspace>();
  ws->cases.NumGroups = 3;
  for (int g = 1; g <= 3; ++g) ws->survival.GroupSummaryTexts[g][kLabel] = std::string(1, static_cast<char>('A' + g - 1));
  ws->styles[1].shown = ws->styles[3].shown = 1;
  ws->styles[3].width = 3;
  ws->styles[3].pen = {1, kBlue};
  ws->figures.groups[1].atRisk = {{0, 0, 96}, {1, 52, 71}};
  ws->figures.groups[2].atRisk = {{0, 0, 500}, {1, 52, 400}, {2, 104, 300}};
  ws->figures.groups[3].atRisk = {{0, 0, 12345}, {1, 52, 7}, {2, 104, 0}};
  struct Case { const char* name; int xMax, y; const char* row; };
  const Case cases[] = {
      {"headings centred in five characters", 104, 24, "330:  0|410:  1|490:  2"},
      {"first shown group at 80", 104, 80, "330:  96|410:  71|490:  0"},
      {"its label over the line sample", 104, 88, "10:A  "},
      {"the hidden group takes no row: C at 120", 104, 120, "330:12345|410:  7|490:  0"},
      {"C's label", 104, 128, "10:C  "},
      {"totals of the shown groups at 180", 104, 180, "30: 累計 |330:12441|410:  78|490:  0"},
      {"a range of under a year: one column", 40, 80, "330:  96"},
  };
  for (const Case& c : cases) {
    ws->geometry.xMax = c.xMax;
    RecordingCanvas view;
    DrawNumberAtRisk(*ws, &view);
    EXPECT_EQ(TextsAt(view, c.y), c.row) << c.name;
    // C's line sample: three one-pixel rows from x 40 to 280 in its pen.
    int rows = 0;
    for (const auto& s : view.Segments()) rows += s.pen == Pen{1, kBlue} && s.x1 == 40 && s.x2 == 281 && s.y1 >= 128 ? 1 : 0;
    EXPECT_EQ(rows, 3) << c.name;
  }
  DrawNumberAtRisk(*ws, nullptr);  // no window yet: nothing to draw on
}

}  // namespace
}  // namespace orv
