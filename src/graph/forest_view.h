// The forest plot in the program's view "フォレストプロット": the shapes of the forest plot's
// layout, in the dots of the publication figures, drawn through a canvas at a fixed number of
// pixels per dot (the scale of the figure window "論文用の図" as it opens).
#pragma once

#include "graph/publication_figure.h"
#include "platform/canvas.h"
#include "words/analysis_results.h"

namespace orv {

inline constexpr double kForestViewScale = 680.0 / kFigureWidth;

// The forest plot of the run's group model and subgroups as the view shows it; no shapes
// where the run has no fitted model, and until the forest plot's layout is wired in here.
FigureLayout ForestViewLayout(const AnalysisResults& r);

// The client size in pixels the view needs for a layout.
Rect ForestViewClient(const FigureLayout& layout);

// Fills (as the rectangles around their points), then lines, then texts (each text's y its
// baseline, anchored by the canvas's own width of it where it can measure), at
// kForestViewScale from the canvas's origin, in the canvas's font.
void DrawForestLayout(const FigureLayout& layout, Canvas& canvas);

// The view: white ground and the run's forest plot; without one, the reason in a line of text.
void DrawForestView(const AnalysisResults& r, Canvas* canvas);

}  // namespace orv
