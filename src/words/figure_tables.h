// The publication figures as text: the summary that follows the pairwise tables, and the
// two CSV tables (life tables per group and week, one row per pair). The texts are in code
// page 932 like every text of the program; the caller converts them where it writes them
// (the batch command as UTF-8 with a byte-order mark).
#pragma once

#include <span>
#include <string>

#include "words/analysis_results.h"
#include "words/format.h"

namespace orv {

// Per shown group (the pooled group first): the median with its interval in weeks and as a
// period, 5- and 10-year survival with intervals, the numbers at risk at each year mark;
// then per pair of shown groups the hazard ratio with its interval and p. Figures are
// rounded (three decimals for hazard ratios, one for percentages), "n/a" where there is
// none. LF line ends.
std::string FiguresText(const AnalysisResults& r);

// One row per group 0..NumGroups and week 0 to the group's last event week: group index,
// name, week, at risk, deaths, censored, Kaplan-Meier estimate, standard error, lower and
// upper limit (empty where there is none). A heading row first; CR LF line ends. Here and in
// every CSV table, a group with an English label in `labels` (UTF-8, per group slot) is named
// by it.
std::string LifeTablesCsv(const AnalysisResults& r, std::span<const std::string> labels = {});

// One row per pair a < b of groups 1..NumGroups: indexes and names, the log-rank and
// Wilcoxon statistics and p-values (empty with fewer than two shown groups, when no test
// ran), the hazard ratio of b relative to a with its interval and p (empty without an
// estimate). A heading row first; CR LF line ends.
std::string PairsCsv(const AnalysisResults& r, std::span<const std::string> labels = {});


}  // namespace orv
