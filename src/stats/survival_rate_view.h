// The "生存率" view: one row per shown group with its figures, and the test results.
#pragma once

#include "workspace/workspace.h"
#include "platform/canvas.h"

namespace orv {

void DrawSurvivalRateView(const Workspace& ws, Canvas* canvas);

}  // namespace orv
