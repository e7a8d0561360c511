// The multiple-comparison tables: every pair of shown groups with its Bonferroni, Holm and
// Sidak adjusted p-values, for the log-rank and the generalized Wilcoxon test.
//
// Holm is the step-down procedure: the pairs are ranked by statistic, largest first; rank i
// of m gets the running maximum of (m - j + 1) p_j over j = 1..i, and once that reaches the
// threshold, that rank and every later one are left blank. A pair without a statistic (NaN)
// counts with p = 1 and ranks last.
#pragma once

#include <string>
#include <vector>

#include "data/case_data.h"
#include "data/group_set.h"
#include "stats/test_results.h"
#include "survival/survival_tables.h"
#include "words/analysis_results.h"

namespace orv {

// " 1 -  2" for the code 102.
std::string PairLabel(double code);

// One row of a pairwise table.
struct PairRow {
  std::string label, statistic, bonferroni, holm, sidak;
};

// The rows of one test, pairs of shown groups in the order (1,2), (1,3), ..., (2,3), ...
// S and P are the statistic and p tables of that test; alpha is its Holm threshold.
std::vector<PairRow> BuildPairRows(const CaseData& cases, const GroupSet& shown, const PairTable& S, const PairTable& P,
                                   double alpha);

// Each table of the run as its result window shows it (CR LF line ends), the shown groups
// listed with their labels below; the log-rank table's Holm threshold is the run's.
std::string LogRankTable(const AnalysisResults& r);
std::string WilcoxonTable(const AnalysisResults& r);

}  // namespace orv
