// The Kaplan-Meier step curves with their censor marks.
#include "graph/curves.h"

#include <algorithm>
#include <cstdint>

#include "graph/plot_frame.h"
#include "graph/view_layout.h"

namespace orv {

void DrawCurves(const SurvivalTables& tables, const GroupSet& shown, const LineStyles& styles,
                const PlotGeometry& geometry, int lastGroup, Canvas& graph) {
  for (int g = 0; g <= lastGroup; ++g) {
    if (shown.Contains(g)) DrawCurve(tables, styles[g], geometry, g, graph);
  }
}

void DrawCurve(const SurvivalTables& tables, const LineStyle& style, const PlotGeometry& geo, int g,
               Canvas& graph) {
  if (g < 0 || g >= kGroupSlots) return;
  const auto& table = tables.SurvivalTable;
  const Pen markerPen{0, style.colour};
  // The bar width is an 8-bit count of pixel rows.
  const int n = static_cast<std::uint8_t>(style.width);
  graph.SelectPen(style.pen);

  int prevX = geo.left;
  int prevY = geo.top;
  double s = 1.0;
  for (int w = 0; w <= kMaxWeek; ++w) {
    const auto& week = table[static_cast<std::size_t>(w)];
    if (week[kCensored][g] + week[kDeaths][g] <= 0) continue;
    // Events beyond the range extend the last level to the end of the axis.
    int wk = w;
    if (w > geo.xMax) {
      wk = geo.xMax;
    } else {
      s = week[kSurvival][g];
    }
    const int x = Coord(geo.left + wk * geo.pixelsPerWeek);
    const int y = Coord(geo.top + geo.height - geo.height * s);
    DrawHBar(graph, prevX, prevY, x, n);
    DrawVBar2(graph, x, prevY, Coord(y + n));
    // A range below week 0 has no week to look up.
    const bool censoredThere = wk >= 0 && table[static_cast<std::size_t>(wk)][kCensored][g] > 0;
    if (censoredThere) {
      graph.SelectPen(markerPen);
      DrawCensorTick(graph, x, prevY);
      graph.SelectPen(style.pen);
    }
    prevX = x;
    prevY = y;
  }
}

}  // namespace orv
