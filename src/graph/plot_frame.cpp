// The plot frame (to be written).
#include "graph/plot_frame.h"

namespace orv {

void DrawHBar(Canvas&, int, int, int, int) {}

void DrawVBar2(Canvas&, int, int, int) {}

void DrawCensorTick(Canvas&, int, int) {}

void DrawLabel(Canvas&, int, int, std::string_view) {}

void FitXRange(Workspace&) {}

void RedrawGraph(Workspace&, Surfaces&) {}

FontSpec XLabelFont() { return {}; }

FontSpec YLabelFont() { return {}; }

}  // namespace orv
