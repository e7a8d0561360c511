// The Kaplan-Meier step curves with their censor marks; the "graph max" texts.
#pragma once

#include "workspace/workspace.h"
#include "platform/surfaces.h"

namespace orv {

void DrawCurves(Workspace& ws, Surfaces& surfaces);
void DrawCurve(Workspace& ws, Canvas& graph, int g);

}  // namespace orv
