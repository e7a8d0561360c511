// The legend and the two tables: rows by group index, five-character cells, headings and
// totals.
#include "graph/tables.h"

#include <gtest/gtest.h>

#include "graph_fixture.h"

namespace orv {
namespace {

// Groups labelled "A", "B", ...; group 2 hidden.
std::unique_ptr<Workspace> ThreeGroups(int groups = 3) {
  auto ws = test::PlotWorkspace(260);
  ws->cases.NumGroups = groups;
  for (int g = 1; g <= groups; ++g) ws->survival.GroupSummaryTexts[g][kLabel] = std::string(1, static_cast<char>('A' + g - 1));
  ws->styles[1].shown = ws->styles[3].shown = 1;
  return ws;
}

// The default styles: all cases red dash-dot-dot, 1 black solid, 5 black dashed, 12 green
// dash-dot.
TEST(DrawLegend, RowsKeepTheirGroupIndex) {
  struct Case {
    const char* name;
    int shown;
    Pen pen;
    int textY;
    const char *texts, *sample;
  };
  const Case cases[] = {
      {"all cases", 0, {4, kRed}, 28, "10: 0 : |130:all case", "50,36>91,36 50,37>91,37"},
      {"group 1", 1, {0, kBlack}, 68, "10: 1 : |130:A", "50,76>91,76 50,77>91,77"},
      {"group 5", 5, {1, kBlack}, 228, "10: 5 : |130:E", "50,236>91,236 50,237>91,237"},
      {"two-digit index", 12, {3, kGreen}, 508, "10:12 : |130:L", "50,516>91,516 50,517>91,517"},
  };
  for (const Case& c : cases) {
    auto ws = ThreeGroups(12);
    ws->styles[1].shown = ws->styles[3].shown = 0;
    ws->styles[c.shown].shown = 1;
    RecordingCanvas view;
    DrawLegend(*ws, &view);
    EXPECT_EQ(test::TextsAt(view, c.textY), c.texts) << c.name;
    EXPECT_EQ(test::Lines(view, c.pen), c.sample) << c.name;
    EXPECT_EQ(view.Texts().size(), 2u) << c.name;
  }
}

// Deaths: group 1 7 in week 10 and 2 in week 100, hidden group 2 5 in week 0, group 3 1 in
// week 300; multiplied by `scale`.
TEST(DrawCumulativeDeaths, HeadingsCellsAndTotals) {
  struct Case {
    const char* name;
    int xMax, tickStep, scale, y;
    const char* row;
  };
  const Case cases[] = {
      {"year headings", 260, 52, 1, 24, "330:    0|410:    1|490:    2|570:    3|650:    4|730:    5|850:data max "},
      {"week headings are cut years", 52, 8, 1, 24,
       "330:    0|410:46154|490:92308|570:38462|650:84615|730:30769|810:76923|930:data max "},
      {"cumulative cells", 260, 52, 1, 80, "330:    0|410:    7|490:    9|570:    9|650:    9|730:    9|850:    9"},
      {"hidden group: label only", 260, 52, 1, 128, "10:B  "},
      {"hidden group: no cells", 260, 52, 1, 120, ""},
      {"totals at 220 leave the hidden group out", 260, 52, 1, 220,
       "30: 累計 |330:    0|410:    7|490:    9|570:    9|650:    9|730:    9|850:   10"},
      {"totals past 16 bits do not wrap", 104, 52, 8000, 220, "30: 累計 |330:    0|410:56000|490:72000|610:80000"},
      {"no tick step yet: week 0 alone", 260, 0, 1, 24, "330:    0|450:data max "},
  };
  for (const Case& c : cases) {
    auto ws = ThreeGroups();
    ws->geometry.xMax = c.xMax;
    ws->geometry.tickStep = static_cast<std::uint16_t>(c.tickStep);
    auto& counts = ws->cases.WeekCounts;
    counts[10][2][1] = 7 * c.scale;
    counts[100][2][1] = 2 * c.scale;
    counts[0][2][2] = 5 * c.scale;
    counts[300][2][3] = 1 * c.scale;
    RecordingCanvas view;
    DrawCumulativeDeaths(*ws, &view);
    EXPECT_EQ(test::TextsAt(view, c.y), c.row) << c.name;
  }
}

TEST(DrawDeathsByCause, CellsAndTotalsRow) {
  struct Case {
    const char* name;
    bool window;
    int y;
    const char* row;
  };
  const Case cases[] = {
      {"cause headings", true, 32, "330:alive|410:X|490:Y"},
      {"shown group", true, 80, "330:    3|410:    7|490:    0|10:A  "},
      {"hidden group: label only", true, 120, "10:B  "},
      {"totals at 220", true, 220, "50:累計  |330:    3|410:    9|490:    5"},
      {"no window: totals still rebuilt", false, 220, ""},
  };
  for (const Case& c : cases) {
    auto ws = ThreeGroups();
    ws->cases.NumCauses = 2;
    ws->cases.CauseNames[0] = "alive";
    ws->cases.CauseNames[1] = "X";
    ws->cases.CauseNames[2] = "Y";
    auto& deaths = ws->cases.DeathsByCause;
    deaths[1] = {3, 7, 0};
    deaths[2] = {1, 1, 1};
    deaths[3] = {0, 2, 5};
    deaths[21].fill(99);
    RecordingCanvas view;
    DrawDeathsByCause(*ws, c.window ? &view : nullptr);
    EXPECT_EQ(test::TextsAt(view, c.y), c.row) << c.name;
    EXPECT_EQ(deaths[21], (std::array<Count, kCauseSlots>{3, 9, 5})) << c.name;
  }
}

}  // namespace
}  // namespace orv
