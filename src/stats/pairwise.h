// The multiple-comparison tables: every pair of shown groups with its Bonferroni, Holm and
// Sidak adjusted p-values, for the log-rank and the generalized Wilcoxon test.
#pragma once

#include <string>

#include "data/workspace.h"
#include "platform/surfaces.h"

namespace orv {

// " 1 -  2" for the code 102.
std::string PairLabel(double code);
// "<0.001  ", " >0.5    " or the value cut to four decimals + two blanks.
std::string PairPText(double p);

// Builds both tables, keeps them in ws.tests and writes them into the result windows.
void WritePairwiseTables(Workspace& ws, Surfaces& surfaces);

}  // namespace orv
