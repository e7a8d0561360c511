// The legend, the cumulative deaths table and the deaths-by-cause table.
#pragma once

#include "workspace/workspace.h"
#include "platform/canvas.h"

namespace orv {

void DrawLegend(const Workspace& ws, Canvas* canvas);
void DrawCumulativeDeaths(const Workspace& ws, Canvas* canvas);
void DrawDeathsByCause(Workspace& ws, Canvas* canvas);  // fills the totals row 21

}  // namespace orv
