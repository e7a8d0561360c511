// The legend, the cumulative deaths table and the deaths-by-cause table.
#pragma once

#include "graph/line_styles.h"
#include "graph/plot_geometry.h"
#include "platform/canvas.h"
#include "words/analysis_results.h"

namespace orv {

void DrawLegend(const AnalysisResults& r, const LineStyles& styles, Canvas* canvas);
// One column per tick of the X axis of the geometry.
void DrawCumulativeDeaths(const AnalysisResults& r, const LineStyles& styles, const PlotGeometry& geometry,
                          Canvas* canvas);
// The totals row is the run's deaths per cause over the shown groups.
void DrawDeathsByCause(const AnalysisResults& r, const LineStyles& styles, Canvas* canvas);

}  // namespace orv
