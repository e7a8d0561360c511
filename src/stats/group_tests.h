// The overall Peto & Peto log-rank statistic over the shown groups and, for every pair of
// groups, the log-rank and generalized (Gehan-Breslow) Wilcoxon statistics, all over the
// weeks 0 to PlotGeometry.xMax.
#pragma once

#include "data/workspace.h"
#include "platform/surfaces.h"

namespace orv {

// Counts ShownGroupCount; with two or more shown groups sets the overall texts, runs
// ComputePairStats and writes the pairwise tables.
void ComputePetoStatistic(Workspace& ws, Surfaces& surfaces);

// Every pair of groups 1..NumGroups, shown or not.
void ComputePairStats(Workspace& ws);

}  // namespace orv
