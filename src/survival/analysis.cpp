// The analysis chain (to be written).
#include "survival/analysis.h"

namespace orv {

void LoadAndAnalyse(const std::string&, Workspace&, Surfaces&) {}

void ComputeGroupSurvival(Workspace&, Surfaces&) {}

void ComputeAllCases(Workspace&, Surfaces&) {}

void RunAnalysis(Workspace&, Surfaces&) {}

void BuildGroupTables(Workspace&) {}

void BuildPooledTable(Workspace&) {}

}  // namespace orv
