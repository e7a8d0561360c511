// The survival curves (to be written).
#include "graph/curves.h"

namespace orv {

void DrawCurves(Workspace&, Surfaces&) {}

void DrawCurve(Workspace&, Canvas&, int) {}

}  // namespace orv
