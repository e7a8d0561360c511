// The cumulative incidence view through a recording canvas: the line without a censored
// cause, and a curve drawn at its levels at the view's scale, rising from 0.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "graph/incidence_view.h"
#include "platform/recording.h"
#include "session/workspace.h"

namespace orv {
namespace {

TEST(IncidenceView, LineWithoutCauseAndCurveAtItsLevels) {
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
  const auto levelY = [&](double f) { return px(layout.plotBottom - f * (layout.plotBottom - layout.plotTop)); };
  // The first of the pens laid side by side lies on the level; a curve drawn as survival
  // (1 - F) or on the figure's dots would lie elsewhere.
  struct Level { const char* name; double f; int fromWeek, toWeek; };
  const Level levels[] = {{"0 before week 0", 0.0, 0, 0}, {"0.25 over weeks 1-2", 0.25, 1, 3}, {"0.5 over weeks 3-4", 0.5, 3, 5}};
  for (const Level& level : levels) {
    bool found = false;
    for (const RecordingCanvas::Segment& s : canvas.Segments()) {
      found = found || (s.pen.colour == ws->styles[1].colour && s.y1 == levelY(level.f) && s.y2 == s.y1 &&
                        s.x1 <= px(layout.plotLeft + level.fromWeek * layout.dotsPerWeek) + 1 &&
                        s.x2 >= px(layout.plotLeft + level.toWeek * layout.dotsPerWeek) - 1);
    }
    EXPECT_TRUE(found) << level.name;
  }
}

}  // namespace
}  // namespace orv
