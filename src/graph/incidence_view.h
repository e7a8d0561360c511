// The view "累積発生率": the cumulative incidence figure laid out for a window and drawn into the
// view through the canvas, at a fixed fraction of the figure's size, redrawn by every analysis
// run.
#pragma once

#include "graph/line_styles.h"
#include "graph/publication_figure.h"
#include "platform/canvas.h"
#include "stats/competing_results.h"

namespace orv {

// A figure's line on a view's canvas at `scale` pixels per dot, its width as one-pixel pens.
void DrawFigureLine(const FigureLine& line, double scale, Canvas& canvas);

// Pixels of the view per dot of the figure: 2008 x 1417 dots become 803 x 566 pixels.
inline constexpr double kIncidenceViewScale = 0.4;
inline constexpr char kNoCompetingCause[] = "競合する死因が選ばれていません（グループ選択 → 打ち切り症例 で選びます）";

// The figure the view draws, in dots, laid out for a window in Japanese: the widths of texts
// estimated, so that the layout is the same on every screen and in the tests.
FigureLayout IncidenceViewLayout(const AnalysisResults& r, const CompetingRisks& c, const LineStyles& styles, int xMax);

// The client area the view needs for every group of r shown with Gray's p, whichever cause
// is counted as censored: the size a load gives it, so that no later choice needs another.
Rect IncidenceViewClient(const AnalysisResults& r, const LineStyles& styles, int xMax);

// The client area cleared, then the figure (lines in one-pixel pens, as thick as their width
// at the scale, texts by their anchors in one font), or without a censored cause the line
// kNoCompetingCause alone. Nothing without a canvas.
void DrawIncidenceView(const AnalysisResults& r, const CompetingRisks& c, const LineStyles& styles, int xMax,
                       Canvas* canvas);

}  // namespace orv
