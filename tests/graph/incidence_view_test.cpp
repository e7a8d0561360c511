// The cumulative incidence view through a recording canvas: the line without a censored
// cause, and a curve drawn at its level at the view's scale.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "graph/incidence_view.h"
#include "platform/recording.h"
#include "session/workspace.h"

namespace orv {
namespace {

TEST(IncidenceView, LineWithoutCauseAndCurveAtItsLevel) {
  auto ws = std::make_unique<Workspace>();
  ws->cases.NumGroups = 1;
  ws->shown.Set(1, true);
  ws->figures.groups[1].km = {1.0, 0.9, 0.9, 0.8};
  RecordingCanvas canvas;
  DrawIncidenceView(*ws, ws->competing, ws->styles, 260, &canvas);
  EXPECT_EQ(canvas.Texts(), (std::vector<RecordingCanvas::PlacedText>{{20, 20, kNoCompetingCause}}));

  ws->competing.active = true;
  ws->competing.groups[1].estimates.incidence = {0.0, 0.25, 0.25, 0.5, 0.5, 0.5};
  canvas.Reset();
  DrawIncidenceView(*ws, ws->competing, ws->styles, 260, &canvas);
  const FigureLayout layout = IncidenceViewLayout(*ws, ws->competing, ws->styles, 260);
  const auto px = [](double dots) { return static_cast<int>(std::floor(dots * kIncidenceViewScale + 0.5)); };
  // The first of the pens laid side by side lies on the level 0.25 over weeks 1 to 3; a curve
  // drawn as survival (1 - F) or on the figure's dots would lie elsewhere.
  const int y = px(layout.plotBottom - 0.25 * (layout.plotBottom - layout.plotTop));
  const auto onLevel = [&](const RecordingCanvas::Segment& s) {
    return s.pen.colour == ws->styles[1].colour && s.y1 == y && s.y2 == y && s.x1 <= px(layout.plotLeft + layout.dotsPerWeek) + 1 &&
           s.x2 >= px(layout.plotLeft + 3 * layout.dotsPerWeek) - 1;
  };
  const std::vector<RecordingCanvas::Segment> segments = canvas.Segments();
  EXPECT_TRUE(std::any_of(segments.begin(), segments.end(), onLevel));
}

}  // namespace
}  // namespace orv
