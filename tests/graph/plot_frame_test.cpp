// The plot frame: X range rules, axis ticks, numbers and unit, and 16-bit coordinates.
#include "graph/plot_frame.h"

#include <gtest/gtest.h>

#include "graph_fixture.h"

namespace orv {
namespace {

// The axis test below covers the ranges that fit the data; these are fitted to it.
TEST(FitXRange, YearBoundariesAndTickSteps) {
  struct Case {
    const char* name;
    int xMax, dataMax, wantXMax, wantTick;
    const char* wantUnit;
  };
  const Case cases[] = {
      {"just over ten years", 521, 600, 521, 260, "(y)"},
      {"beyond the data: the next year boundary", 520, 200, 208, 52, "(y)"},
      {"exactly four years of data gets five", 520, 208, 260, 52, "(y)"},
      {"no data: one year of weeks", 0, 0, 52, 8, "(w)"},
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

// Ticks are given by the right-hand column of each two-pixel mark; numbers stand 7 pixels a
// character left of their tick at y 610, the unit at the end of the axis at y 638. A client
// 100 pixels wide wraps the plot width to 65506 and every coordinate with it.
TEST(RedrawGraph, AxisTicksNumbersAndUnit) {
  struct Case {
    const char* name;
    int xMax, clientWidth;
    const char *ticks, *numbers, *unit;
  };
  const Case cases[] = {
      {"52 weeks", 52, 650, "160 240 320 400 480 560", "73:0|153:8|226:16|306:24|386:32|466:40|546:48", "600:(w)"},
      {"10 weeks becomes 52", 10, 650, "160 240 320 400 480 560", "73:0|153:8|226:16|306:24|386:32|466:40|546:48", "600:(w)"},
      {"260 weeks", 260, 650, "184 288 392 496 600", "73:0|177:1|281:2|385:3|489:4|593:5", "600:(y)"},
      {"261 weeks", 261, 650, "287 494", "73:0|280:2|487:4", "600:(y)"},
      {"520 weeks", 520, 650, "184 288 392 496 600", "73:0|177:2|281:4|385:6|489:8|586:10", "600:(y)"},
      {"2080 weeks", 2080, 650, "145 210 275 340 405 470 535 600", "73:0|138:5|196:10|261:15|326:20|391:25|456:30|521:35|586:40",
       "600:(y)"},
      {"narrow client wraps", 52, 100, "10157 20235 30313 40391 50469 60547",
       "73:0|10150:8|20221:16|30299:24|40377:32|50455:40|60533:48", "50:(w)"},
  };
  for (const Case& c : cases) {
    auto ws = test::PlotWorkspace(c.xMax);
    ws->geometry.width = static_cast<std::uint16_t>(c.clientWidth - 130);
    RecordingCanvas graph({0, 0, c.clientWidth, 700});
    Surfaces surfaces{.graph = &graph};
    RedrawGraph(*ws, surfaces);
    std::string ticks;
    bool rightColumn = false;
    for (const auto& s : graph.Segments()) {
      if (s.y1 != 600 || s.y2 != 595) continue;
      if (rightColumn) ticks += (ticks.empty() ? "" : " ") + std::to_string(s.x1);
      rightColumn = !rightColumn;
    }
    EXPECT_EQ(ticks, c.ticks) << c.name;
    EXPECT_EQ(test::TextsAt(graph, 610), c.numbers) << c.name;
    EXPECT_EQ(test::TextsAt(graph, 638), c.unit) << c.name;
  }
}

}  // namespace
}  // namespace orv
