// The road of one data file from the loader to every view, and the re-entries into it. Each
// step changes the settings, analyses and presents: the run is made once, from the case data
// and the settings, and every window, view and text is then made from it.
#pragma once

#include <array>
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
// It does not analyse; see LoadAndAnalyse.
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

// The progress texts of the road's steps on the main window, then RunAnalysis.
void ComputeGroupSurvival(Workspace& ws, Surfaces& surfaces);
void ComputeAllCases(Workspace& ws, Surfaces& surfaces);
// The analysis window fitted to the range asked and the shown groups, the run analysed, and
// every output presented from it, the curves over the window's weeks.
void RunAnalysis(Workspace& ws, Surfaces& surfaces);
// The run again with the settings as they are and the window of the last run (a change that
// does not move the range, such as the reference group), without presenting it.
void AnalyseAgain(Workspace& ws);

// What a run brings up to date, besides the graph: one list for the program's windows and
// the batch command's files.
enum class ViewOutput { Legend, SurvivalRate, CumulativeDeaths, DeathsByCause, NumberAtRisk, Incidence, Forest };
inline constexpr std::array<ViewOutput, 7> kViewOutputs = {ViewOutput::Legend,       ViewOutput::SurvivalRate,
                                                           ViewOutput::CumulativeDeaths, ViewOutput::DeathsByCause,
                                                           ViewOutput::NumberAtRisk, ViewOutput::Incidence,
                                                           ViewOutput::Forest};
enum class TextOutput { LogRank, Wilcoxon, Intervals, Paper, Model };
inline constexpr std::array<TextOutput, 5> kTextOutputs = {TextOutput::LogRank, TextOutput::Wilcoxon,
                                                           TextOutput::Intervals, TextOutput::Paper, TextOutput::Model};

// The surface of an output in the bundle (null where it does not exist).
Canvas* SurfaceOf(const Surfaces& surfaces, ViewOutput view);
ResultTextSink* SurfaceOf(const Surfaces& surfaces, TextOutput text);
// One view of the last run, drawn into the canvas (nothing without one).
void DrawView(const Workspace& ws, ViewOutput view, Canvas* canvas);
// One text of the last run as its window shows it. The pairwise tables are empty with fewer
// than two shown groups: there is no table then, and a window keeps its last one.
std::string TextOf(const Workspace& ws, TextOutput text);

// One text of the last run into its window, the caret at its start.
void PresentText(const Workspace& ws, const Surfaces& surfaces, TextOutput text);

// Every output of the last run: the graph with its curves over curveWeeks and the axis of the
// run's window, every view and every text.
void Present(Workspace& ws, Surfaces& surfaces, int curveWeeks);
// The graph alone: the groups' row texts and the curves over geometry.xMax, then the axis of
// the last run's window.
void RedrawGraph(Workspace& ws, Surfaces& surfaces);

}  // namespace orv
