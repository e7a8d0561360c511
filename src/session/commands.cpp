// The user's commands after a load: X range, shown groups, censored causes, a group's line.
#include "session/commands.h"

#include "session/analysis.h"
#include "stats/interval_text.h"
#include "stats/paper_text.h"

namespace orv {

bool ApplyRange(Workspace& ws, Surfaces& surfaces, RangeCommand command) {
  PlotGeometry& geometry = ws.geometry;
  switch (command) {
    case RangeCommand::FiveYears:
      geometry.xMax = kWeeksPerFiveYears;
      geometry.tickStep = kWeeksPerYear;
      break;
    case RangeCommand::TenYears:
      geometry.xMax = kWeeksPerTenYears;
      geometry.tickStep = 2 * kWeeksPerYear;
      break;
    case RangeCommand::PlusOneYear: geometry.xMax += kWeeksPerYear; break;
    case RangeCommand::PlusFiveYears: geometry.xMax += kWeeksPerFiveYears; break;
    case RangeCommand::MinusOneYear:
      if (geometry.xMax <= kWeeksPerYear) return false;
      geometry.xMax -= kWeeksPerYear;
      break;
    case RangeCommand::MinusFiveYears:
      if (geometry.xMax <= kWeeksPerFiveYears + kWeeksPerYear) return false;
      geometry.xMax -= kWeeksPerFiveYears;
      break;
    case RangeCommand::Longest: geometry.xMax = ws.cases.dataMaxWeeks + kWeeksPerYear; break;
  }
  RunAnalysis(ws, surfaces);
  return true;
}

void SetShownGroups(Workspace& ws, Surfaces& surfaces, const GroupSet& shown) {
  bool groupsChanged = false;
  for (int g = 1; g <= LastGroup(ws.cases); ++g) groupsChanged = groupsChanged || shown.Contains(g) != ws.shown.Contains(g);
  ws.shown = shown;
  if (groupsChanged) ComputeAllCases(ws, surfaces);
  RedrawGraph(ws, surfaces);
}

bool SetCensoredCauses(Workspace& ws, const CauseFlags& censored) {
  bool changed = false;
  for (int j = 1; j <= ws.cases.NumCauses; ++j) {
    const auto cause = static_cast<std::size_t>(j);
    changed = changed || (censored[cause] == 1) != (ws.cases.CauseCensored[cause] == 1);
    ws.cases.CauseCensored[cause] = censored[cause];
  }
  return changed;
}

void SetReferenceGroup(Workspace& ws, int g) {
  ws.referenceGroup = g;
  // Over the weeks of the run's pair ratios: a redraw may have fitted the range since.
  ComputeReviewerResults(ws, ws.reviewer.lastWeek);
}

void SetReferenceGroup(Workspace& ws, Surfaces& surfaces, int g) {
  SetReferenceGroup(ws, g);
  // The texts that name the reference: the interval window's and the paper's paragraphs.
  const auto write = [](ResultTextSink* sink, const std::string& text) {
    if (sink == nullptr) return;
    ResultClear(*sink);
    ResultAppend(*sink, text);
    sink->CaretToStart();
  };
  write(surfaces.intervals, IntervalsText(ws.Results(), ws.reviewer, ws.competing));
  write(surfaces.paper, PaperWindowText(BuildPaperText(ws.PaperInput())));
}

void SetGroupLine(Workspace& ws, Surfaces& surfaces, int g, int style, int width, Rgb colour) {
  SetLineStyle(ws.styles, g, style, width, colour);
  RedrawGraph(ws, surfaces);
}

}  // namespace orv
