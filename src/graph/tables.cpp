// Legend and tables (to be written).
#include "graph/tables.h"

namespace orv {

void DrawLegend(const Workspace&, Canvas*) {}

void DrawCumulativeDeaths(const Workspace&, Canvas*) {}

void DrawDeathsByCause(Workspace&, Canvas*) {}

}  // namespace orv
