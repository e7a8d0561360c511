// The legend, the cumulative deaths table and the deaths-by-cause table.
#pragma once

#include "graph/line_styles.h"
#include "graph/plot_geometry.h"
#include "platform/canvas.h"
#include "stats/analysis_results.h"

namespace orv {

void DrawLegend(const AnalysisResults& r, const LineStyles& styles, Canvas* canvas);
// One column per tick of the X axis of the geometry.
void DrawCumulativeDeaths(const AnalysisResults& r, const LineStyles& styles, const PlotGeometry& geometry,
                          Canvas* canvas);
// The totals row is row 21 of DeathsByCause, as FillCauseTotals left it.
void DrawDeathsByCause(const AnalysisResults& r, const LineStyles& styles, Canvas* canvas);

}  // namespace orv
