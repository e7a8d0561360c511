// The overall Peto & Peto log-rank statistic over the shown groups and, for every pair of
// groups, the log-rank and generalized (Gehan-Breslow) Wilcoxon statistics, all over the
// weeks 0 to the last week of the range (the X range of the graph).
//
// Overall: X = sum over shown groups of (O - E)^2 / E, E = sum of pooled hazard x the
// group's number at risk, df = shown groups - 1.
// Pairs: U = sum of w (d_r - d n_r / n), V = sum of w^2 n_r n_q d (n - d) / (n^2 (n - 1)),
// X = U^2 / V with weight w = 1 (log-rank) or w = n (Gehan-Breslow Wilcoxon), df = 1.
#pragma once

#include "data/case_data.h"
#include "data/group_set.h"
#include "stats/test_results.h"
#include "survival/survival_tables.h"

namespace orv {

// Over weeks 0 to lastWeek: counts ShownGroupCount; with two or more shown groups sets the
// overall statistic (NaN, and overallTested false, when the shown groups have no death) and
// the pair statistics. With fewer, the rest of the results are their start values: there is
// nothing to compare.
void ComputePetoStatistic(const CaseData& cases, const SurvivalTables& tables, const GroupSet& shown, int lastWeek,
                          GroupTestResults& results);

// Every pair of groups 1..NumGroups, shown or not, over weeks 0 to lastWeek. A pair without
// an informative week (zero variance) gets a NaN statistic and a p-value of 1.
PairStats ComputePairStats(const CaseData& cases, const SurvivalTables& tables, int lastWeek);

}  // namespace orv
