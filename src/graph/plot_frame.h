// The survival graph's frame: scaling, axes, ticks, numbers and unit, the 50 % line, the
// drawing primitives of every graph, and the order of one complete redraw.
#pragma once

#include <string_view>

#include "workspace/workspace.h"
#include "platform/canvas.h"
#include "platform/surfaces.h"

namespace orv {

// n pixel rows from y down, each from x1 to x2 inclusive.
void DrawHBar(Canvas& c, int x1, int y, int x2, int n);
// Columns x - 1 and x from y1 towards y2 (end point not drawn).
void DrawVBar2(Canvas& c, int x, int y1, int y2);
// Seven pixels directly above y in columns x - 1 and x.
void DrawCensorTick(Canvas& c, int x, int y);
void DrawLabel(Canvas& c, int x, int y, std::string_view text);

// Adjusts xMax, tickStep and unitLabel to the data and the axis rules.
void FitXRange(Workspace& ws);

// Curves, X axis, Y axis into the graph surface, then invalidates it.
void RedrawGraph(Workspace& ws, Surfaces& surfaces);

// The fonts of the axis labels.
FontSpec XLabelFont();
FontSpec YLabelFont();

}  // namespace orv
