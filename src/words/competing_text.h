// The competing-risks figures as text: the section that follows the publication figures and
// the CSV table of the cumulative incidence. Code page 932 like every text of the program;
// the caller converts where it writes.
#pragma once

#include <span>
#include <string>

#include "words/analysis_results.h"
#include "stats/competing_results.h"
#include "words/format.h"

namespace orv {

// Empty without a censored cause. Else the competing causes; per shown group (the pooled
// group first) the 5- and 10-year incidence with its interval beside the naive 1 - KM;
// Gray's test of the shown groups; per pair of shown groups Gray's test and the Fine-Gray
// ratio of b relative to a. "n/a" where there is no figure; LF line ends.
std::string CompetingRisksText(const AnalysisResults& r, const CompetingRisks& c);

// One row per group 0..NumGroups and week 0 to the group's last event week: group index,
// name, week, at risk, deaths of interest, competing deaths, incidence, standard error,
// lower and upper limit (empty where there is none). A heading row first; CR LF line ends.
// Only the heading without a censored cause. A group labelled in `labels` is named by it.
std::string CumulativeIncidenceCsv(const AnalysisResults& r, const CompetingRisks& c, std::span<const std::string> labels = {});

}  // namespace orv
