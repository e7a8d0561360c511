// The legend and the two tables: rows by group index, five-character cells, headings and
// totals.
#include "graph/tables.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graph_fixture.h"
#include "stats/survival_rate_view.h"

namespace orv {
namespace {

using Text = RecordingCanvas::PlacedText;
using Segment = RecordingCanvas::Segment;

void LabelGroups(Workspace& ws, int groups) {
  ws.cases.NumGroups = groups;
  for (int g = 1; g <= groups; ++g) ws.survival.GroupSummaryTexts[g][kLabel] = std::string(1, static_cast<char>('A' + g - 1));
}

TEST(DrawLegend, RowsKeepTheirGroupIndex) {
  struct Case {
    const char* name;
    int groups;
    std::vector<int> shown;
    std::vector<Text> texts;
    std::vector<Segment> samples;
  };
  const Case cases[] = {
      {"all cases, 1 and 5 of 6 in the default styles",
       6,
       {0, 1, 5},
       {{10, 28, " 0 : "}, {130, 28, "all case"}, {10, 68, " 1 : "}, {130, 68, "A"}, {10, 228, " 5 : "}, {130, 228, "E"}},
       {{50, 36, 91, 36, {4, kRed}}, {50, 37, 91, 37, {4, kRed}}, {50, 76, 91, 76, {0, kBlack}}, {50, 77, 91, 77, {0, kBlack}},
        {50, 236, 91, 236, {1, kBlack}}, {50, 237, 91, 237, {1, kBlack}}}},
      {"two-digit index", 12, {12}, {{10, 508, "12 : "}, {130, 508, "L"}}, {{50, 516, 91, 516, {3, kGreen}}, {50, 517, 91, 517, {3, kGreen}}}},
      {"nothing shown", 3, {}, {}, {}},
  };
  for (const Case& c : cases) {
    Workspace ws;
    LabelGroups(ws, c.groups);
    for (int g : c.shown) ws.styles[g].shown = 1;
    RecordingCanvas view;
    DrawLegend(ws, &view);
    EXPECT_EQ(view.Texts(), c.texts) << c.name;
    EXPECT_EQ(view.Segments(), c.samples) << c.name;
  }
}

// Three groups, the middle one hidden: 7 deaths in week 10 and 2 in week 100 for group 1,
// 5 in week 0 for group 2, 1 in week 300 for group 3.
TEST(DrawCumulativeDeaths, HeadingsCellsAndTotals) {
  struct Case {
    const char* name;
    int xMax, tickStep;
    Count scale;  // multiplies every count
    int y;
    std::vector<Text> row;
  };
  const Case cases[] = {
      {"year headings",
       260, 52, 1, 24,
       {{330, 24, "    0"}, {410, 24, "    1"}, {490, 24, "    2"}, {570, 24, "    3"}, {650, 24, "    4"}, {730, 24, "    5"},
        {850, 24, "data max "}}},
      {"week headings are cut years", 52, 8, 1, 24,
       {{330, 24, "    0"}, {410, 24, "46154"}, {490, 24, "92308"}, {570, 24, "38462"}, {650, 24, "84615"}, {730, 24, "30769"},
        {810, 24, "76923"}, {930, 24, "data max "}}},
      {"cumulative cells", 260, 52, 1, 80,
       {{330, 80, "    0"}, {410, 80, "    7"}, {490, 80, "    9"}, {570, 80, "    9"}, {650, 80, "    9"}, {730, 80, "    9"},
        {850, 80, "    9"}}},
      {"hidden group: label only", 260, 52, 1, 128, {{10, 128, "B  "}}},
      {"hidden group: no cells", 260, 52, 1, 120, {}},
      {"totals row at 220 leaves the hidden group out", 260, 52, 1, 220,
       {{30, 220, " 累計 "}, {330, 220, "    0"}, {410, 220, "    7"}, {490, 220, "    9"}, {570, 220, "    9"}, {650, 220, "    9"},
        {730, 220, "    9"}, {850, 220, "   10"}}},
      {"totals past 16 bits do not wrap", 104, 52, 8000, 220,
       {{30, 220, " 累計 "}, {330, 220, "    0"}, {410, 220, "56000"}, {490, 220, "72000"}, {610, 220, "80000"}}},
      {"no tick step yet: week 0 alone", 260, 0, 1, 24, {{330, 24, "    0"}, {450, 24, "data max "}}},
  };
  for (const Case& c : cases) {
    Workspace ws;
    LabelGroups(ws, 3);
    ws.styles[1].shown = ws.styles[3].shown = 1;
    ws.geometry.xMax = c.xMax;
    ws.geometry.tickStep = static_cast<std::uint16_t>(c.tickStep);
    ws.cases.WeekCounts[10][2][1] = 7 * c.scale;
    ws.cases.WeekCounts[100][2][1] = 2 * c.scale;
    ws.cases.WeekCounts[0][2][2] = 5 * c.scale;
    ws.cases.WeekCounts[300][2][3] = 1 * c.scale;
    RecordingCanvas view;
    DrawCumulativeDeaths(ws, &view);
    EXPECT_EQ(test::TextsAtY(view, c.y), c.row) << c.name;
  }
}

TEST(DrawDeathsByCause, CellsAndTotalsRow) {
  struct Case {
    const char* name;
    bool window;
    int y;
    std::vector<Text> row;
  };
  const Case cases[] = {
      {"cause headings", true, 32, {{330, 32, "alive"}, {410, 32, "X"}, {490, 32, "Y"}}},
      {"shown group cells", true, 80, {{330, 80, "    3"}, {410, 80, "    7"}, {490, 80, "    0"}, {10, 80, "A  "}}},
      {"hidden group: label only", true, 120, {{10, 120, "B  "}}},
      {"totals row at 220", true, 220, {{50, 220, "累計  "}, {330, 220, "    3"}, {410, 220, "    9"}, {490, 220, "    5"}}},
      {"no window: totals still rebuilt", false, 220, {}},
  };
  for (const Case& c : cases) {
    Workspace ws;
    LabelGroups(ws, 3);
    ws.cases.NumCauses = 2;
    ws.cases.CauseNames[0] = "alive";
    ws.cases.CauseNames[1] = "X";
    ws.cases.CauseNames[2] = "Y";
    ws.styles[1].shown = ws.styles[3].shown = 1;
    ws.cases.DeathsByCause[1] = {3, 7, 0};
    ws.cases.DeathsByCause[2] = {1, 1, 1};
    ws.cases.DeathsByCause[3] = {0, 2, 5};
    ws.cases.DeathsByCause[21].fill(99);
    RecordingCanvas view;
    DrawDeathsByCause(ws, c.window ? &view : nullptr);
    EXPECT_EQ(test::TextsAtY(view, c.y), c.row) << c.name;
    std::array<Count, kCauseSlots> totals{3, 9, 5};
    EXPECT_EQ(ws.cases.DeathsByCause[21], totals) << c.name;
  }
}

// Every view paints its whole client area white and draws black on white in its own font,
// whatever the previous drawing left selected.
TEST(ViewWindows, StartFromAWhitePage) {
  using Kind = CanvasOp::Kind;
  const Rect client{0, 0, 480, 360};
  const std::vector<CanvasOp> start{
      {.kind = Kind::Fill, .colour = kWhite, .rect = client},
      {.kind = Kind::BkMode, .value = static_cast<int>(BkMode::Opaque)},
  };
  struct Case {
    const char* name;
    void (*draw)(Workspace&, Canvas*);
  };
  const Case cases[] = {
      {"legend", [](Workspace& ws, Canvas* c) { DrawLegend(ws, c); }},
      {"cumulative deaths", [](Workspace& ws, Canvas* c) { DrawCumulativeDeaths(ws, c); }},
      {"deaths by cause", [](Workspace& ws, Canvas* c) { DrawDeathsByCause(ws, c); }},
      {"survival rate", [](Workspace& ws, Canvas* c) { DrawSurvivalRateView(ws, c); }},
  };
  for (const Case& c : cases) {
    Workspace ws;
    RecordingCanvas view(client);
    c.draw(ws, &view);
    ASSERT_GE(view.ops.size(), 5u) << c.name;
    EXPECT_EQ(std::vector<CanvasOp>(view.ops.begin(), view.ops.begin() + 2), start) << c.name;
    bool white = false, black = false, defaultFont = false;
    for (std::size_t i = 2; i < 5; ++i) {
      const CanvasOp& op = view.ops[i];
      white |= op.kind == Kind::BkColour && op.colour == kWhite;
      black |= op.kind == Kind::TextColour && op.colour == kBlack;
      defaultFont |= op.kind == Kind::SelectFont && op.text.empty();
    }
    EXPECT_TRUE(white && black && defaultFont) << c.name;
    DrawLegend(ws, nullptr);  // a window that does not exist is left out
  }
}

}  // namespace
}  // namespace orv
