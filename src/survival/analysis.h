// The road of one data file from the loader to every view, and the re-entries into it.
#pragma once

#include <string>
#include <string_view>

#include "workspace/workspace.h"
#include "platform/surfaces.h"

namespace orv {

// The whole road: LoadDataFile, the view sizes, then ComputeGroupSurvival and on.
void LoadAndAnalyse(const std::string& path, Workspace& ws, Surfaces& surfaces, std::string_view shownPath = {});
// The same road for the bytes of a file already read; the path is only printed.
void LoadBytesAndAnalyse(std::string_view shownPath, std::string_view bytes, Workspace& ws, Surfaces& surfaces);

// Each group's weekly Kaplan-Meier table and summary texts; then ComputeAllCases.
void ComputeGroupSurvival(Workspace& ws, Surfaces& surfaces);
// Group 0: the pooled table of the shown groups; then RunAnalysis.
void ComputeAllCases(Workspace& ws, Surfaces& surfaces);
// The all-cases label, the X range fitted to the data, the tests, then every redraw.
void RunAnalysis(Workspace& ws, Surfaces& surfaces);

// The computations alone, without progress texts or the rest of the chain.
void BuildGroupTables(Workspace& ws);
void BuildPooledTable(Workspace& ws);

}  // namespace orv
