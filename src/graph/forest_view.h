// The forest plot in the program's view "フォレストプロット": the shapes of the forest plot's
// layout, in the dots of the publication figures, drawn through a canvas at a fixed number of
// pixels per dot (the scale of the figure window "論文用の図" as it opens).
#pragma once

#include <vector>

#include "graph/publication_figure.h"
#include "platform/canvas.h"
#include "stats/adjusted_analysis.h"

namespace orv {

inline constexpr double kForestViewScale = 680.0 / kFigureWidth;

// What the view draws: fills first, then lines, then texts (each text's y its baseline).
struct ForestDrawing {
  double width = 0;  // dots; 0: nothing to draw
  double height = 0;
  std::vector<FigureFill> fills;
  std::vector<FigureLine> lines;
  std::vector<FigureText> texts;
};

// The forest plot of the run's group model and subgroups, texts measured by `measure`. Empty
// where the run has no fitted model, and until the forest plot's layout is wired in here.
ForestDrawing ForestViewDrawing(const AdjustedAnalysis& a, const TextMeasure& measure);

// The client size in pixels the view needs for the drawing.
Rect ForestViewClient(const ForestDrawing& drawing);

// The view: white ground, then the drawing at kForestViewScale; without one, the reason in a
// line of text.
void DrawForestView(const AdjustedAnalysis& a, Canvas* canvas);

}  // namespace orv
