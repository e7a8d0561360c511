// The survival graph's frame: scaling, axes, ticks, numbers and unit, the 50 % line, and the
// drawing primitives of every graph.
#pragma once

#include <string_view>

#include "graph/plot_geometry.h"
#include "platform/canvas.h"

namespace orv {

// n pixel rows from y down, each from x1 to x2 inclusive.
void DrawHBar(Canvas& c, int x1, int y, int x2, int n);
// Columns x - 1 and x from y1 towards y2 (end point not drawn).
void DrawVBar2(Canvas& c, int x, int y1, int y2);
// Seven pixels directly above y in columns x - 1 and x.
void DrawCensorTick(Canvas& c, int x, int y);
void DrawLabel(Canvas& c, int x, int y, std::string_view text);

// The X axis of an analysis window's range (its axisWeeks): xMax, the tick step by the
// range's length, the unit ("(w)" with ticks every 8 weeks for a year, else "(y)") and the
// label divisor.
void SetAxisRange(PlotGeometry& geometry, int axisWeeks);

// The X axis with its ticks, numbers and unit and the 50 % line, then the Y axis.
void DrawAxes(const PlotGeometry& geometry, Canvas& graph);

// The fonts of the axis labels.
FontSpec XLabelFont();
FontSpec YLabelFont();

}  // namespace orv
