// The text of the window "信頼区間・ハザード比": per shown group the median survival and
// the 5- and 10-year survival with their 95 % intervals, per pair of shown groups the
// hazard ratio with its interval and p, each table followed by a line naming its method.
// Columns are separated by tabs for the control's tab stops; CR LF line ends, code page 932.
#pragma once

#include <string>

#include "words/analysis_results.h"
#include "stats/competing_results.h"
#include "stats/reviewer_results.h"

namespace orv {

// From the publication figures of the last analysis run. The pooled group comes first when
// it has cases; with fewer than two shown groups the pair table is replaced by the line
// "グラフは2本以上必要です".
std::string IntervalsText(const AnalysisResults& r);

// The whole window: the text above, then what a reviewer asks: the weeks the tests ran over,
// the censored causes, the standard log-rank p, per shown group its events/cases, median with
// its known limits and hazard ratio against the reference group ("※" where the proportional-
// hazards check gives p < 0.05, with a footnote); then, with a censored cause, the
// competing-risks section (5- and 10-year incidence beside 1 - KM, Gray's tests, Fine-Gray
// ratios). Dashes are hyphens: code page 932 has none.
std::string IntervalsText(const AnalysisResults& r, const ReviewerResults& reviewer, const CompetingRisks& competing);

}  // namespace orv
