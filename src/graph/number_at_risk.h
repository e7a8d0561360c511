// The number-at-risk view: the cases still under observation of each shown group at the
// year marks of the X range, and of the shown groups together.
#pragma once

#include <vector>

#include "graph/line_styles.h"
#include "platform/canvas.h"
#include "words/analysis_results.h"

namespace orv {

// The years of the columns for a range of xMax weeks: every year mark 0, 1, 2, ... while
// 52 x year <= xMax, at most 11 columns; a longer range takes every second year, and beyond
// twenty years every fourth, so the table keeps within a screen's width. Empty for a
// negative range.
std::vector<int> NumberAtRiskYears(int xMax);

// One row per shown group in group order (line sample, label, the numbers centred under
// the year headings), then the totals row "累計" of the shown groups. Reads the numbers at
// risk of the publication figures; a mark they did not reach counts 0.
void DrawNumberAtRisk(const AnalysisResults& r, const LineStyles& styles, int xMax, Canvas* canvas);

}  // namespace orv
