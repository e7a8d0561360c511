// The forest plot in the program's view "フォレストプロット": the shapes of the forest plot's
// layout, in the dots of the publication figures, drawn through a canvas at a fixed number of
// pixels per dot (the scale of the figure window "論文用の図" as it opens).
#pragma once

#include "graph/publication_figure.h"
#include "platform/canvas.h"
#include "words/analysis_results.h"

namespace orv {

// 1,000 pixels for the 170 mm of the figure: its texts in points large enough to read on a screen.
inline constexpr double kForestViewScale = 1000.0 / kFigureWidth;

// The forest plot of the run's group model and subgroups as the view shows it, its texts
// measured in dots by `measure`; no shapes where the run has no fitted model, and until the
// forest plot's layout is wired in here.
FigureLayout ForestViewLayout(const AnalysisResults& r, const TextMeasure& measure = EstimatedTextWidth);

// The width in dots of a text at a size, from its width in the canvas's font at the figure's
// text size, so that the layout's columns hold the texts as the view writes them; the estimate
// where the canvas cannot measure.
TextMeasure CanvasMeasure(const Canvas& canvas);

// The client size in pixels the view needs for a layout.
Rect ForestViewClient(const FigureLayout& layout);

// Fills (as the rectangles around their points), then lines, then texts (each text's y its
// baseline, anchored by the canvas's own width of it where it can measure, in the view's font at
// its size), at kForestViewScale from the canvas's origin.
void DrawForestLayout(const FigureLayout& layout, Canvas& canvas);

// The view: white ground and the run's forest plot; without one, the reason in a line of text.
void DrawForestView(const AnalysisResults& r, Canvas* canvas);

}  // namespace orv
