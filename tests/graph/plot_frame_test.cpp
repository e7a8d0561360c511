// The plot frame: X range rules, axis ticks, numbers and unit, 16-bit coordinates, and
// which surfaces one redraw touches.
#include "graph/plot_frame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "graph_fixture.h"

namespace orv {
namespace {

using Text = RecordingCanvas::PlacedText;

TEST(FitXRange, YearBoundariesAndTickSteps) {
  struct Case {
    const char* name;
    int xMax, dataMax;
    int wantXMax, wantTick;
    const char* wantUnit;
  };
  const Case cases[] = {
      {"one year counts weeks", 52, 300, 52, 8, "(w)"},
      {"below a year becomes a year", 10, 300, 52, 8, "(w)"},
      {"five years", 260, 300, 260, 52, "(y)"},
      {"just over five years", 261, 300, 261, 104, "(y)"},
      {"ten years", 520, 600, 520, 104, "(y)"},
      {"just over ten years", 521, 600, 521, 260, "(y)"},
      {"forty years", 2080, 2080, 2080, 260, "(y)"},
      {"beyond the data: next year boundary", 520, 200, 208, 52, "(y)"},
      {"data of exactly four years gets five", 520, 208, 260, 52, "(y)"},
      {"no data at all", 0, 0, 52, 8, "(w)"},
  };
  for (const Case& c : cases) {
    Workspace ws;
    ws.geometry.xMax = c.xMax;
    ws.cases.dataMaxWeeks = c.dataMax;
    FitXRange(ws);
    EXPECT_EQ(ws.geometry.xMax, c.wantXMax) << c.name;
    EXPECT_EQ(ws.geometry.tickStep, c.wantTick) << c.name;
    EXPECT_EQ(ws.geometry.unitLabel, c.wantUnit) << c.name;
  }
}

TEST(RedrawGraph, AxisTicksNumbersAndUnit) {
  struct Case {
    const char* name;
    int xMax;
    std::vector<int> ticks;      // right-hand column of each two-pixel mark
    std::vector<Text> numbers;   // left edge 7 pixels a character left of the tick
    Text unit;
  };
  const Case cases[] = {
      {"52 weeks",
       52,
       {160, 240, 320, 400, 480, 560},
       {{73, 610, "0"}, {153, 610, "8"}, {226, 610, "16"}, {306, 610, "24"}, {386, 610, "32"}, {466, 610, "40"}, {546, 610, "48"}},
       {600, 638, "(w)"}},
      {"10 weeks is fitted to 52 and scaled to it",
       10,
       {160, 240, 320, 400, 480, 560},
       {{73, 610, "0"}, {153, 610, "8"}, {226, 610, "16"}, {306, 610, "24"}, {386, 610, "32"}, {466, 610, "40"}, {546, 610, "48"}},
       {600, 638, "(w)"}},
      {"260 weeks",
       260,
       {184, 288, 392, 496, 600},
       {{73, 610, "0"}, {177, 610, "1"}, {281, 610, "2"}, {385, 610, "3"}, {489, 610, "4"}, {593, 610, "5"}},
       {600, 638, "(y)"}},
      {"261 weeks: last tick below the end", 261, {287, 494}, {{73, 610, "0"}, {280, 610, "2"}, {487, 610, "4"}}, {600, 638, "(y)"}},
      {"520 weeks",
       520,
       {184, 288, 392, 496, 600},
       {{73, 610, "0"}, {177, 610, "2"}, {281, 610, "4"}, {385, 610, "6"}, {489, 610, "8"}, {586, 610, "10"}},
       {600, 638, "(y)"}},
      {"2080 weeks",
       2080,
       {145, 210, 275, 340, 405, 470, 535, 600},
       {{73, 610, "0"}, {138, 610, "5"}, {196, 610, "10"}, {261, 610, "15"}, {326, 610, "20"}, {391, 610, "25"}, {456, 610, "30"}, {521, 610, "35"}, {586, 610, "40"}},
       {600, 638, "(y)"}},
  };
  for (const Case& c : cases) {
    auto ws = test::PlotWorkspace(c.xMax);
    RecordingCanvas graph({0, 0, 650, 700});
    Surfaces surfaces{.graph = &graph};
    RedrawGraph(*ws, surfaces);

    std::vector<int> ticks;
    for (const auto& s : graph.Segments()) {
      if (s.y1 == 600 && s.y2 == 595 && s.pen == Pen{0, kBlack}) ticks.push_back(s.x1);
    }
    std::vector<int> rightColumns;
    for (std::size_t i = 1; i < ticks.size(); i += 2) rightColumns.push_back(ticks[i]);
    EXPECT_EQ(rightColumns, c.ticks) << c.name;
    EXPECT_EQ(test::TextsAtY(graph, 610), c.numbers) << c.name;
    EXPECT_EQ(test::TextsAtY(graph, 638), std::vector<Text>{c.unit}) << c.name;
    EXPECT_EQ(graph.ops.back().kind, CanvasOp::Kind::Invalidate) << c.name;
  }
}

// A client area narrower than the margins wraps the plot width; every coordinate derived
// from it wraps the same way instead of growing past 16 bits.
TEST(RedrawGraph, CoordinatesWrapAsSixteenBitValues) {
  struct Case {
    const char* name;
    int clientWidth;
    int axisEnd;  // end of each X axis row (drawn up to, not including)
    Text unit;
    Text lastNumber;
  };
  const Case cases[] = {
      {"ordinary width", 650, 601, {600, 638, "(w)"}, {546, 610, "48"}},
      {"100 pixels: width 65506 wraps the axis end to 50", 100, 51, {50, 638, "(w)"}, {60533, 610, "48"}},
  };
  for (const Case& c : cases) {
    auto ws = test::PlotWorkspace(52);
    ws->geometry.width = static_cast<std::uint16_t>(c.clientWidth - 130);
    RecordingCanvas graph({0, 0, c.clientWidth, 700});
    Surfaces surfaces{.graph = &graph};
    RedrawGraph(*ws, surfaces);
    std::vector<int> axisRows;
    for (const auto& s : graph.Segments()) {
      if (s.x1 == 80 && s.y1 == s.y2 && s.y1 >= 600) axisRows.push_back(s.x2);
    }
    EXPECT_EQ(axisRows, std::vector<int>(4, c.axisEnd)) << c.name;
    EXPECT_EQ(test::TextsAtY(graph, 638), std::vector<Text>{c.unit}) << c.name;
    EXPECT_EQ(test::TextsAtY(graph, 610).back(), c.lastNumber) << c.name;
  }
}

TEST(RedrawGraph, YAxisLabelsAndHalfLine) {
  struct Case {
    const char* name;
    int height;
    Text half;
    int halfLineY;
  };
  const Case cases[] = {
      {"even height", 550, {36, 318, ".5"}, 325},
      {"odd height cuts the half pixel", 551, {36, 318, ".5"}, 325},
  };
  for (const Case& c : cases) {
    auto ws = test::PlotWorkspace(260);
    ws->geometry.height = static_cast<std::uint16_t>(c.height);
    RecordingCanvas graph({0, 0, 650, 700});
    Surfaces surfaces{.graph = &graph};
    RedrawGraph(*ws, surfaces);
    EXPECT_EQ(test::TextsAtY(graph, c.half.y), std::vector<Text>{c.half}) << c.name;
    EXPECT_EQ(test::TextsAtY(graph, 43), (std::vector<Text>{{29, 43, "1.0"}})) << c.name;
    const auto segments = graph.Segments();
    const RecordingCanvas::Segment halfLine{80, c.halfLineY, 601, c.halfLineY, Pen{0, kBlack}};
    EXPECT_NE(std::find(segments.begin(), segments.end(), halfLine), segments.end()) << c.name;
  }
  EXPECT_EQ(XLabelFont(), (FontSpec{"Arial", -28, 0, 0}));
  EXPECT_EQ(YLabelFont(), (FontSpec{"Arial", -28, 0, 0}));
}

// Either surface may be missing; the range is fitted and the "graph max" texts written all
// the same, because the tests and tables depend on them.
TEST(RedrawGraph, MissingSurfacesAreLeftOut) {
  struct Case {
    const char* name;
    bool graph, screen;
  };
  const Case cases[] = {
      {"both", true, true}, {"graph only", true, false}, {"screen only", false, true}, {"neither", false, false}};
  for (const Case& c : cases) {
    auto ws = test::PlotWorkspace(10);
    ws->cases.NumGroups = 1;
    ws->styles[1].shown = 1;
    test::SetWeeks(*ws, 1, {{3, 0, 1, 0.5}});
    RecordingCanvas graph({0, 0, 650, 700});
    RecordingCanvas screen({0, 0, 650, 700});
    Surfaces surfaces{.graph = c.graph ? &graph : nullptr, .screen = c.screen ? &screen : nullptr};
    RedrawGraph(*ws, surfaces);
    EXPECT_EQ(ws->geometry.xMax, 52) << c.name;
    EXPECT_EQ(ws->survival.GroupSummaryTexts[1][kGraphMax], " 50.0 %") << c.name;
    if (c.screen) {
      const std::vector<CanvasOp> fill{{.kind = CanvasOp::Kind::Fill, .colour = kWhite, .rect = {0, 0, 650, 700}}};
      EXPECT_EQ(screen.ops, fill) << c.name;
    }
    if (c.graph) {
      EXPECT_EQ(graph.ops.back().kind, CanvasOp::Kind::Invalidate) << c.name;
    }
  }
}

}  // namespace
}  // namespace orv
