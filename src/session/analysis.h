// The road of one data file from the loader to every view, and the re-entries into it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data/loader.h"
#include "platform/surfaces.h"
#include "session/workspace.h"

namespace orv {

// The loader's step: the report cleared and given its font height, the case tables of the
// bytes counted with the workspace's censored causes, and what a load resets beside them:
// the X range to five years, the shown groups to those of 8 or more rows, the view sizes.
// It does not compute the survival tables; see LoadAndAnalyse.
void LoadDataBytes(std::string_view shownPath, std::string_view bytes, Workspace& ws, RichTextSink& report,
                   MessageBoxes& boxes);
// The same for a file. A file that cannot be read loads as empty; so does a file above
// maxBytes, after a message box that says so. The report prints shownPath when given.
FileRead LoadDataFile(const std::string& path, Workspace& ws, RichTextSink& report, MessageBoxes& boxes,
                      std::string_view shownPath = {}, std::uint64_t maxBytes = kMaxDataFileBytes);

// The whole road: LoadDataFile, the view sizes, then ComputeGroupSurvival and on.
void LoadAndAnalyse(const std::string& path, Workspace& ws, Surfaces& surfaces, std::string_view shownPath = {});
// The same road for the bytes of a file already read; the path is only printed.
void LoadBytesAndAnalyse(std::string_view shownPath, std::string_view bytes, Workspace& ws, Surfaces& surfaces);

// Each group's weekly Kaplan-Meier table and summary texts; then ComputeAllCases.
void ComputeGroupSurvival(Workspace& ws, Surfaces& surfaces);
// Group 0: the pooled table of the shown groups; then RunAnalysis.
void ComputeAllCases(Workspace& ws, Surfaces& surfaces);
// The all-cases label, the X range fitted to the data, the tests and the figures, their
// texts into the result windows, then every redraw.
void RunAnalysis(Workspace& ws, Surfaces& surfaces);
// The "graph max" texts at the current range, the curves, the range fitted to the data and
// the axes at the fitted range, into the graph surface.
void RedrawGraph(Workspace& ws, Surfaces& surfaces);

// The computations alone, without progress texts or the rest of the chain.
void BuildGroupTables(Workspace& ws);
void BuildPooledTable(Workspace& ws);

}  // namespace orv
