// The user's commands after a load: X range, shown groups, censored causes, a group's line.
#include "session/commands.h"

#include "session/analysis.h"
#include "stats/analysis_run.h"
#include "survival/analysis_window.h"

namespace orv {

bool RangeCommandApplies(const Workspace& ws, RangeCommand command) {
  switch (command) {
    case RangeCommand::MinusOneYear: return ws.geometry.xMax > kWeeksPerYear;
    case RangeCommand::MinusFiveYears: return ws.geometry.xMax > kWeeksPerFiveYears + kWeeksPerYear;
    default: return true;
  }
}

bool ApplyRange(Workspace& ws, Surfaces& surfaces, RangeCommand command) {
  if (!RangeCommandApplies(ws, command)) return false;
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
    case RangeCommand::MinusOneYear: geometry.xMax -= kWeeksPerYear; break;
    case RangeCommand::MinusFiveYears: geometry.xMax -= kWeeksPerFiveYears; break;
    case RangeCommand::Longest: geometry.xMax = ws.cases.dataMaxWeeks + kWeeksPerYear; break;
  }
  RunAnalysis(ws, surfaces);
  return true;
}

void SetShownGroups(Workspace& ws, Surfaces& surfaces, const GroupSet& shown) {
  bool groupsChanged = false;
  for (int g = 1; g <= LastGroup(ws.cases); ++g) groupsChanged = groupsChanged || shown.Contains(g) != ws.shown.Contains(g);
  ws.shown = shown;
  // Group 0 is pooled from the others, so a change of its flag alone changes no figure: the
  // graph and the views are drawn again with it.
  if (!groupsChanged) {
    RedrawGraph(ws, surfaces);
    for (ViewOutput view : kViewOutputs) DrawView(ws, view, SurfaceOf(surfaces, view));
    return;
  }
  if (surfaces.screen != nullptr) surfaces.screen->TextOut(240, 70, "全体死亡率　初期化中");
  const AnalysisWindow window = FitAnalysisWindow(ws.geometry.xMax, ws.cases, ws.shown);
  Analyse(ws.cases, {ws.shown, window, ws.referenceGroup, ws.model}, ws.run);
  // The curves over the axis's range at once, where a run drawn over its tested weeks would
  // leave them to the next redraw.
  Present(ws, surfaces, window.axisWeeks);
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

void StartNewFile(Workspace& ws) {
  ws.cases.NumGroups = 0;
  ws.cases.CauseCensored = CauseFlags{};
  // Another file's groups: its first shown group until one is chosen.
  ws.referenceGroup = 0;
  // Its columns are not the last file's: nothing is adjusted for until chosen again.
  ws.model = {};
  ws.timeUnit = TimeUnit::Months;
  for (std::string& label : ws.groupLabels) label.clear();
  for (std::string& label : ws.causeLabels) label.clear();
}

void SetPaperChoices(Workspace& ws, Surfaces& surfaces, const PaperChoices& choices) {
  ApplyPaperChoices(choices, ws);
  PresentText(ws, surfaces, TextOutput::Paper);
}

bool CensorAndReload(Workspace& ws, Surfaces& surfaces, const CauseFlags& censored, const std::string& shownPath,
                     const std::string* bytes) {
  if (!SetCensoredCauses(ws, censored) || shownPath.empty()) return false;
  if (bytes != nullptr) {
    LoadBytesAndAnalyse(shownPath, *bytes, ws, surfaces);
  } else {
    LoadAndAnalyse(shownPath, ws, surfaces);
  }
  return true;
}

void SetReferenceGroup(Workspace& ws, int g) {
  ws.referenceGroup = g;
  // Over the last run's window: the reference changes no range. Before any run there is
  // nothing to compute again; the first run takes the choice.
  if (ws.run.analysed) AnalyseAgain(ws);
}

void SetReferenceGroup(Workspace& ws, Surfaces& surfaces, int g) {
  SetReferenceGroup(ws, g);
  // The texts that name the reference: the interval window's, the paper's paragraphs and the model's.
  for (TextOutput text : {TextOutput::Intervals, TextOutput::Paper, TextOutput::Model}) PresentText(ws, surfaces, text);
}

void SetModel(Workspace& ws, Surfaces& surfaces, const ModelRequest& request) {
  ws.model = request;
  if (!ws.run.analysed) return;
  AnalyseAgain(ws);
  // The curves over the range they are drawn with: the request moves no week.
  Present(ws, surfaces, ws.geometry.xMax);
}

std::vector<std::string> CovariateNames(const Covariates& covariates) {
  std::vector<std::string> names;
  for (const CovariateColumn& column : covariates.columns) names.push_back(column.name);
  return names;
}

bool ModelRequestFits(const ModelRequest& request, const Covariates& covariates) {
  const auto categorical = [&](int column) {
    return column >= 0 && static_cast<std::size_t>(column) < covariates.columns.size() &&
           covariates.columns[static_cast<std::size_t>(column)].type == CovariateType::Categorical;
  };
  for (const CoxCovariateChoice& choice : request.covariates) {
    if (choice.column < 0 || static_cast<std::size_t>(choice.column) >= covariates.columns.size()) return false;
    const CovariateColumn& column = covariates.columns[static_cast<std::size_t>(choice.column)];
    if (column.type == CovariateType::Categorical &&
        (choice.referenceLevel < 0 || static_cast<std::size_t>(choice.referenceLevel) >= column.levels.size())) {
      return false;
    }
  }
  return (request.strata < 0 || categorical(request.strata)) && (request.subgroup < 0 || categorical(request.subgroup));
}

void SetGroupLine(Workspace& ws, Surfaces& surfaces, int g, int style, int width, Rgb colour) {
  SetLineStyle(ws.styles, g, style, width, colour);
  RedrawGraph(ws, surfaces);
  // Every view draws the groups' lines or their samples.
  for (ViewOutput view : kViewOutputs) DrawView(ws, view, SurfaceOf(surfaces, view));
}

}  // namespace orv
