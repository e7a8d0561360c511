// The Kaplan-Meier step curves with their censor marks.
#pragma once

#include "data/group_set.h"
#include "graph/line_styles.h"
#include "graph/plot_geometry.h"
#include "platform/canvas.h"
#include "survival/survival_tables.h"

namespace orv {

// The curve of every shown group 0..lastGroup, in group order, at the geometry's scale.
void DrawCurves(const SurvivalTables& tables, const GroupSet& shown, const LineStyles& styles,
                const PlotGeometry& geometry, int lastGroup, Canvas& graph);
void DrawCurve(const SurvivalTables& tables, const LineStyle& style, const PlotGeometry& geometry, int g,
               Canvas& graph);

}  // namespace orv
