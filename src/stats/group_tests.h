// The overall Peto & Peto log-rank statistic over the shown groups and, for every pair of
// groups, the log-rank and generalized (Gehan-Breslow) Wilcoxon statistics, all over the
// weeks 0 to PlotGeometry.xMax.
//
// Overall: X = sum over shown groups of (O - E)^2 / E, E = sum of pooled hazard x the
// group's number at risk, df = shown groups - 1.
// Pairs: U = sum of w (d_r - d n_r / n), V = sum of w^2 n_r n_q d (n - d) / (n^2 (n - 1)),
// X = U^2 / V with weight w = 1 (log-rank) or w = n (Gehan-Breslow Wilcoxon), df = 1.
#pragma once

#include <string>

#include "workspace/workspace.h"
#include "platform/surfaces.h"

namespace orv {

// Counts ShownGroupCount; with two or more shown groups sets the overall texts, runs
// ComputePairStats and writes the pairwise tables.
void ComputePetoStatistic(Workspace& ws, Surfaces& surfaces);

// Every pair of groups 1..NumGroups, shown or not. A pair without an informative week
// (zero variance) gets a NaN statistic and a p-value of 1.
void ComputePairStats(Workspace& ws);

// The overall statistic as shown: cut to four decimals, the first seven characters of its
// text padded with two blanks ("3.5  ", "0.1234 ", "12.3456"). An integer part of more than
// seven digits is shown whole rather than cut.
std::string PetoStatisticText(double x);

}  // namespace orv
