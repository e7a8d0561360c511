// The "生存率" view: one row per shown group with its figures, and the test results.
#pragma once

#include "graph/line_styles.h"
#include "words/analysis_results.h"
#include "platform/canvas.h"

namespace orv {

// Its "graph max" column shows only when xMax is neither five nor ten years.
void DrawSurvivalRateView(const AnalysisResults& r, const LineStyles& styles, int xMax, Canvas* canvas);

}  // namespace orv
