// The step curves: drops, bars, censor marks, the scale and the "graph max" texts.
#include "graph/curves.h"

#include <gtest/gtest.h>

#include "graph_fixture.h"

namespace orv {
namespace {

// Group 5 in its default style: a black dashed curve, so its solid marks stand apart.
TEST(DrawCurve, StepsDropsAndMarks) {
  struct Case {
    const char* name;
    std::vector<test::WeekEvents> weeks;
    int width;
    const char *curve, *marks, *graphMax;
  };
  const Case cases[] = {
      {"mark at the level before the drop", {{5, 1, 1, 0.5}}, 2, "80,50>131,50 80,51>131,51 129,50>129,327 130,50>130,327",
       "129,43>129,50 130,43>130,50", " 50.0 %"},
      {"death in week 0 drops at the Y axis", {{0, 0, 1, 0.5}}, 2, "80,50>81,50 80,51>81,51 79,50>79,327 80,50>80,327", "", " 50.0 %"},
      {"survival 0 drops onto the X axis", {{3, 0, 2, 0}}, 2, "80,50>111,50 80,51>111,51 109,50>109,602 110,50>110,602", "", "  0.0 %"},
      {"first event after the range: one bar at 1.0", {{60, 0, 1, 0.5}}, 2,
       "80,50>601,50 80,51>601,51 599,50>599,52 600,50>600,52", "", "100.0 %"},
      {"censored after the range: level extended, no mark", {{10, 0, 1, 0.5}, {70, 1, 0, 0.5}}, 2,
       "80,50>181,50 80,51>181,51 179,50>179,327 180,50>180,327 180,325>601,325 180,326>601,326 599,325>599,327 600,325>600,327", "",
       " 50.0 %"},
      {"width 5: five one-pixel rows", {{0, 0, 1, 0.5}}, 5,
       "80,50>81,50 80,51>81,51 80,52>81,52 80,53>81,53 80,54>81,54 79,50>79,330 80,50>80,330", "", " 50.0 %"},
  };
  for (const Case& c : cases) {
    auto ws = test::PlotWorkspace(52);
    ws->geometry.pixelsPerWeek = 10;
    ws->styles[5].width = c.width;
    test::SetWeeks(*ws, 5, c.weeks);
    RecordingCanvas graph;
    DrawCurve(*ws, graph, 5);
    EXPECT_EQ(test::Lines(graph, {1, kBlack}), c.curve) << c.name;
    EXPECT_EQ(test::Lines(graph, {0, kBlack}), c.marks) << c.name;
    EXPECT_EQ(ws->survival.GroupSummaryTexts[5][kGraphMax], c.graphMax) << c.name;
  }
}

// A range of 0 weeks (every shown event in week 0) has no scale: the curve then stays on
// the Y axis instead of an undefined position. Hidden groups lose their "graph max" text.
TEST(DrawCurves, RangeSetsTheScale) {
  struct Case {
    const char* name;
    int xMax;
    const char* curve;  // group 1, black solid: a death in week 5
  };
  const Case cases[] = {
      {"one year", 52, "80,50>131,50 80,51>131,51 129,50>129,327 130,50>130,327"},
      {"two years", 104, "80,50>106,50 80,51>106,51 104,50>104,327 105,50>105,327"},
      {"seven weeks", 7, "80,50>452,50 80,51>452,51 450,50>450,327 451,50>451,327"},
      {"no range: the death lies beyond it", 0, "80,50>81,50 80,51>81,51 79,50>79,52 80,50>80,52"},
  };
  for (const Case& c : cases) {
    auto ws = test::PlotWorkspace(c.xMax);
    ws->cases.NumGroups = 2;
    ws->styles[1].shown = 1;
    ws->survival.GroupSummaryTexts[2][kGraphMax] = "stale";
    test::SetWeeks(*ws, 1, {{5, 0, 1, 0.5}});
    RecordingCanvas graph;
    Surfaces surfaces{.graph = &graph};
    DrawCurves(*ws, surfaces);
    EXPECT_EQ(test::Lines(graph, {0, kBlack}), c.curve) << c.name;
    EXPECT_EQ(ws->survival.GroupSummaryTexts[2][kGraphMax], "") << c.name;
  }
}

}  // namespace
}  // namespace orv
