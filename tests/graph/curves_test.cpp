// The step curves: drops, bars, censor marks and the "graph max" texts.
#include "graph/curves.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graph_fixture.h"

namespace orv {
namespace {

using Segment = RecordingCanvas::Segment;

// Group 5 by default: black dashed curve, so its solid black marks stand apart.
constexpr Pen kDashed{1, kBlack};
constexpr Pen kMark{0, kBlack};

// A 52-week range 520 pixels wide: week w at x = 80 + 10 w; survival 1 at y 50, 0.5 at 325,
// 0 at 600.
TEST(DrawCurve, StepsDropsAndMarks) {
  struct Case {
    const char* name;
    std::vector<test::WeekEvents> weeks;
    int width;
    std::vector<Segment> segments;
    const char* graphMax;
  };
  const Case cases[] = {
      {"mark at the level before the drop",
       {{5, 1, 1, 0.5}},
       2,
       {{80, 50, 131, 50, kDashed}, {80, 51, 131, 51, kDashed}, {129, 50, 129, 327, kDashed}, {130, 50, 130, 327, kDashed},
        {129, 43, 129, 50, kMark}, {130, 43, 130, 50, kMark}},
       " 50.0 %"},
      {"death in week 0 drops at the Y axis",
       {{0, 0, 1, 0.5}},
       2,
       {{80, 50, 81, 50, kDashed}, {80, 51, 81, 51, kDashed}, {79, 50, 79, 327, kDashed}, {80, 50, 80, 327, kDashed}},
       " 50.0 %"},
      {"survival reaching 0 drops onto the X axis",
       {{3, 0, 2, 0}},
       2,
       {{80, 50, 111, 50, kDashed}, {80, 51, 111, 51, kDashed}, {109, 50, 109, 602, kDashed}, {110, 50, 110, 602, kDashed}},
       "  0.0 %"},
      {"first event after the range: one bar at 1.0",
       {{60, 0, 1, 0.5}},
       2,
       {{80, 50, 601, 50, kDashed}, {80, 51, 601, 51, kDashed}, {599, 50, 599, 52, kDashed}, {600, 50, 600, 52, kDashed}},
       "100.0 %"},
      {"censored only: no drop, a mark",
       {{2, 3, 0, 1}},
       2,
       {{80, 50, 101, 50, kDashed}, {80, 51, 101, 51, kDashed}, {99, 50, 99, 52, kDashed}, {100, 50, 100, 52, kDashed},
        {99, 43, 99, 50, kMark}, {100, 43, 100, 50, kMark}},
       "100.0 %"},
      {"censored after the range: level extended, no mark",
       {{10, 0, 1, 0.5}, {70, 1, 0, 0.5}},
       2,
       {{80, 50, 181, 50, kDashed}, {80, 51, 181, 51, kDashed}, {179, 50, 179, 327, kDashed}, {180, 50, 180, 327, kDashed},
        {180, 325, 601, 325, kDashed}, {180, 326, 601, 326, kDashed}, {599, 325, 599, 327, kDashed}, {600, 325, 600, 327, kDashed}},
       " 50.0 %"},
      {"width 5: five one-pixel rows",
       {{0, 0, 1, 0.5}},
       5,
       {{80, 50, 81, 50, kDashed}, {80, 51, 81, 51, kDashed}, {80, 52, 81, 52, kDashed}, {80, 53, 81, 53, kDashed},
        {80, 54, 81, 54, kDashed}, {79, 50, 79, 330, kDashed}, {80, 50, 80, 330, kDashed}},
       " 50.0 %"},
      {"no events", {}, 2, {}, "100.0 %"},
  };
  for (const Case& c : cases) {
    auto ws = test::PlotWorkspace(52);
    ws->geometry.pixelsPerWeek = 10;
    ws->styles[5].width = c.width;
    test::SetWeeks(*ws, 5, c.weeks);
    RecordingCanvas graph;
    DrawCurve(*ws, graph, 5);
    EXPECT_EQ(graph.Segments(), c.segments) << c.name;
    EXPECT_EQ(ws->survival.GroupSummaryTexts[5][kGraphMax], c.graphMax) << c.name;
  }
}

// Curves are drawn from all cases upwards in the default styles; a hidden group is skipped
// and its "graph max" text emptied.
TEST(DrawCurves, OrderStylesAndHiddenGroups) {
  struct Case {
    const char* name;
    std::vector<int> shown;
    std::vector<Pen> curvePens;
    std::vector<std::string> graphMax;  // groups 0..5
  };
  const Case cases[] = {
      {"all cases, 1 and 5",
       {0, 1, 5},
       {{4, kRed}, {0, kBlack}, {1, kBlack}},
       {"100.0 %", "100.0 %", "", "", "", "100.0 %"}},
      {"2 and 3", {2, 3}, {{0, kRed}, {0, kBlue}}, {"", "", "100.0 %", "100.0 %", "", ""}},
      {"none", {}, {}, {"", "", "", "", "", ""}},
  };
  for (const Case& c : cases) {
    auto ws = test::PlotWorkspace(52);
    ws->cases.NumGroups = 5;
    for (int g = 0; g <= 5; ++g) ws->survival.GroupSummaryTexts[g][kGraphMax] = "stale";
    for (int g : c.shown) ws->styles[g].shown = 1;
    RecordingCanvas graph;
    Surfaces surfaces{.graph = &graph};
    DrawCurves(*ws, surfaces);
    std::vector<Pen> pens;
    std::vector<std::string> texts;
    for (const CanvasOp& op : graph.ops) {
      if (op.kind == CanvasOp::Kind::SelectPen) pens.push_back(op.pen);
    }
    for (int g = 0; g <= 5; ++g) texts.push_back(ws->survival.GroupSummaryTexts[g][kGraphMax]);
    EXPECT_EQ(pens, c.curvePens) << c.name;
    EXPECT_EQ(texts, c.graphMax) << c.name;
    EXPECT_EQ(ws->geometry.pixelsPerWeek, 10) << c.name;
  }
}

// The scale is the plot width over the range. A range of 0 weeks (every shown event in week
// 0) has no scale: the curve then stays on the Y axis instead of an undefined position.
TEST(DrawCurves, RangeSetsTheScale) {
  struct Case {
    const char* name;
    int xMax;
    double pixelsPerWeek;
    int dropX;  // right-hand column of the drop of a death in week 5
    int dropEnd;
  };
  const Case cases[] = {
      {"one year", 52, 10, 130, 327},
      {"two years", 104, 5, 105, 327},
      {"seven weeks", 7, 520.0 / 7, 451, 327},
      {"no range: the death lies beyond it, level 1.0 on the axis", 0, 0, 80, 52},
  };
  for (const Case& c : cases) {
    auto ws = test::PlotWorkspace(c.xMax);
    ws->cases.NumGroups = 1;
    ws->styles[1].shown = 1;
    test::SetWeeks(*ws, 1, {{5, 0, 1, 0.5}});
    RecordingCanvas graph;
    Surfaces surfaces{.graph = &graph};
    DrawCurves(*ws, surfaces);
    EXPECT_EQ(ws->geometry.pixelsPerWeek, c.pixelsPerWeek) << c.name;
    const auto segments = graph.Segments();
    ASSERT_EQ(segments.size(), 4u) << c.name;
    EXPECT_EQ(segments[3], (Segment{c.dropX, 50, c.dropX, c.dropEnd, {0, kBlack}})) << c.name;
  }
}

}  // namespace
}  // namespace orv
