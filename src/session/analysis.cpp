// The analysis chain: the load, the analysis run, and the outputs presented from it.
#include "session/analysis.h"

#include <algorithm>
#include <cmath>

#include "graph/curves.h"
#include "graph/forest_view.h"
#include "graph/incidence_view.h"
#include "graph/number_at_risk.h"
#include "graph/plot_frame.h"
#include "graph/survival_rate_view.h"
#include "graph/tables.h"
#include "graph/view_layout.h"
#include "session/commands.h"
#include "survival/analysis_window.h"
#include "text/number_text.h"
#include "words/interval_text.h"
#include "words/model_text_ja.h"
#include "words/pairwise_tables.h"
#include "words/paper_text.h"

namespace orv {

namespace {

class DiscardingReport : public RichTextSink {
 public:
  void Clear() override {}
  void SetColour(Rgb) override {}
  void SetHeight(int) override {}
  void Insert(std::string_view) override {}
  void CaretToStart() override {}
};

class DiscardingBoxes : public MessageBoxes {
 public:
  void Show(std::string_view, std::string_view, BoxIcon) override {}
};

// The report's font height of a load, in twips.
constexpr int kReportHeight = 240;

ViewSizes ViewSizesFor(int groups, int causes) {
  constexpr int kRow = kRowHeight;
  ViewSizes s;
  s.legendHeight = (groups + 5) * kRow;
  s.logRankHeight = (groups + 7) * kRow;
  s.wilcoxonHeight = (groups + 7) * kRow;
  s.cumulativeHeight = (groups + 5) * kRow;
  s.byCauseWidth = causes * 60 + 600;
  s.byCauseHeight = (groups + 5) * kRow;
  s.survivalRateHeight = (groups > 2 ? groups + 6 : groups + 8) * kRow;
  s.numberAtRiskHeight = (groups + 5) * kRow;
  s.intervalsHeight = (groups + 7) * kRow;
  return s;
}

// Replaces a result window's text and puts the caret at its start.
void WriteResultText(ResultTextSink* sink, const std::string& text) {
  sink->Replace(text);
}

// The steps of the road after the loader: the view sizes, then the survival chain.
void AfterLoad(Workspace& ws, Surfaces& surfaces) {
  if (surfaces.views != nullptr) surfaces.views->Resize(ws.viewSizes);
  ComputeGroupSurvival(ws, surfaces);
}

}  // namespace

void LoadDataBytes(std::string_view shownPath, std::string_view bytes, Workspace& ws, RichTextSink& report,
                   MessageBoxes& boxes) {
  report.Clear();
  report.SetHeight(kReportHeight);
  ws.cases = LoadCases(shownPath, bytes, ws.cases.CauseCensored, report, boxes);
  if (ws.keptModel && CovariateNames(ws.cases.covariates) == ws.keptModel->columns) ws.model = ws.keptModel->request;
  ws.keptModel.reset();
  // A file changed on disk and loaded again may have other columns: a request that no longer
  // fits them adjusts for nothing rather than for the wrong column.
  if (!ModelRequestFits(ws.model, ws.cases.covariates)) ws.model = {};
  ws.dataPath = shownPath;
  ws.geometry.xMax = kWeeksPerFiveYears;
  ws.geometry.tickStep = kWeeksPerYear;
  ws.shown = DefaultShownGroups(ws.cases);
  // Nothing computed from the previous file stays: its weekly tables and their texts.
  ws.run.analysed = false;
  for (auto& week : ws.run.survival.SurvivalTable) week = {};
  for (auto& week : ws.run.survival.AtRiskTable) week = {};
  ws.texts = MakeSummaryTexts(ws.cases, ws.run, ws.shown, ws.geometry.xMax);
  ws.viewSizes = ViewSizesFor(ws.cases.NumGroups, ws.cases.NumCauses);
}

FileRead LoadDataFile(const std::string& path, Workspace& ws, RichTextSink& report, MessageBoxes& boxes,
                      std::string_view shownPath, std::uint64_t maxBytes) {
  DataFileBytes file = ReadDataFile(path, maxBytes);
  if (file.status == FileRead::TooLarge) boxes.Show(TooLargeText(maxBytes), "データの確認！", BoxIcon::Warning);
  LoadDataBytes(shownPath.empty() ? std::string_view(path) : shownPath, file.bytes, ws, report, boxes);
  return file.status;
}

void AnalyseAgain(Workspace& ws) {
  Analyse(ws.cases, {ws.shown, ws.run.window, ws.referenceGroup, ws.model}, ws.run);
}

void RunAnalysis(Workspace& ws, Surfaces& surfaces) {
  const AnalysisWindow window = FitAnalysisWindow(ws.geometry.xMax, ws.cases, ws.shown);
  Analyse(ws.cases, {ws.shown, window, ws.referenceGroup, ws.model}, ws.run);
  Present(ws, surfaces, window.lastWeek);
}

void ComputeAllCases(Workspace& ws, Surfaces& surfaces) {
  if (surfaces.screen != nullptr) surfaces.screen->TextOut(240, 70, "全体死亡率　初期化中");
  RunAnalysis(ws, surfaces);
}

void ComputeGroupSurvival(Workspace& ws, Surfaces& surfaces) {
  if (surfaces.screen != nullptr) surfaces.screen->TextOut(100, 300, "死亡率計算中");
  ComputeAllCases(ws, surfaces);
}

Canvas* SurfaceOf(const Surfaces& surfaces, ViewOutput view) {
  switch (view) {
    case ViewOutput::Legend: return surfaces.legend;
    case ViewOutput::SurvivalRate: return surfaces.survivalRate;
    case ViewOutput::CumulativeDeaths: return surfaces.cumulativeDeaths;
    case ViewOutput::DeathsByCause: return surfaces.deathsByCause;
    case ViewOutput::NumberAtRisk: return surfaces.numberAtRisk;
    case ViewOutput::Incidence: return surfaces.incidence;
    case ViewOutput::Forest: return surfaces.forest;
  }
  return nullptr;
}

ResultTextSink* SurfaceOf(const Surfaces& surfaces, TextOutput text) {
  switch (text) {
    case TextOutput::LogRank: return surfaces.logRank;
    case TextOutput::Wilcoxon: return surfaces.wilcoxon;
    case TextOutput::Intervals: return surfaces.intervals;
    case TextOutput::Paper: return surfaces.paper;
    case TextOutput::Model: return surfaces.model;
  }
  return nullptr;
}

void DrawView(const Workspace& ws, ViewOutput view, Canvas* canvas) {
  const AnalysisResults r = ws.Results();
  const int xMax = ws.geometry.xMax;
  switch (view) {
    case ViewOutput::Legend: DrawLegend(r, ws.styles, canvas); break;
    case ViewOutput::SurvivalRate: DrawSurvivalRateView(r, ws.styles, xMax, canvas); break;
    case ViewOutput::CumulativeDeaths: DrawCumulativeDeaths(r, ws.styles, ws.geometry, canvas); break;
    case ViewOutput::DeathsByCause: DrawDeathsByCause(r, ws.styles, canvas); break;
    case ViewOutput::NumberAtRisk: DrawNumberAtRisk(r, ws.styles, xMax, canvas); break;
    case ViewOutput::Incidence: DrawIncidenceView(r, ws.run.competing, ws.styles, xMax, canvas); break;
    case ViewOutput::Forest: DrawForestView(r, canvas); break;
  }
}

std::string TextOf(const Workspace& ws, TextOutput text) {
  const AnalysisResults r = ws.Results();
  switch (text) {
    case TextOutput::LogRank: return r.tests.ShownGroupCount >= 2 ? LogRankTable(r) : std::string();
    case TextOutput::Wilcoxon: return r.tests.ShownGroupCount >= 2 ? WilcoxonTable(r) : std::string();
    case TextOutput::Intervals: return IntervalsText(r, ws.run.reviewer, ws.run.competing);
    case TextOutput::Paper: return PaperWindowText(BuildPaperText(ws.PaperInput()));
    case TextOutput::Model: {
      const int reference = ws.run.adjusted.referenceGroup;
      std::string name = reference >= 1 && reference < kGroupSlots ? ws.cases.GroupNames[static_cast<std::size_t>(reference)]
                                                                   : std::string();
      // As the model's own terms name a group without a name.
      if (name.empty()) name = "群" + FormatNumber(reference);
      return ModelTextJa(ws.run.adjusted, ws.model, ws.cases.covariates, name);
    }
  }
  return {};
}

void RedrawGraph(Workspace& ws, Surfaces& surfaces) {
  for (Canvas* c : {surfaces.graph, surfaces.screen}) {
    if (c != nullptr) c->FillRect(c->ClientRect(), kWhite);
  }
  PlotGeometry& geo = ws.geometry;
  geo.pixelsPerWeek = PixelsPerWeek(geo);
  // Where each curve ends at the range it is drawn with, for the survival-rate view.
  ws.texts = MakeSummaryTexts(ws.cases, ws.run, ws.shown, geo.xMax);
  if (surfaces.graph != nullptr) DrawCurves(ws.run.survival, ws.shown, ws.styles, geo, LastGroup(ws.cases), *surfaces.graph);

  // The axis is labelled with the run's range; where that differs from the curves' range
  // (a run whose tests stop short of a year), the curves follow at the next redraw.
  const std::int32_t drawnRange = geo.xMax;
  SetAxisRange(geo, ws.run.window.axisWeeks);
  if (geo.xMax != drawnRange) geo.pixelsPerWeek = PixelsPerWeek(geo);

  if (surfaces.graph == nullptr) return;
  DrawAxes(geo, *surfaces.graph);
  surfaces.graph->Invalidate();
}

void PresentText(const Workspace& ws, const Surfaces& surfaces, TextOutput text) {
  ResultTextSink* sink = SurfaceOf(surfaces, text);
  if (sink == nullptr) return;
  const std::string written = TextOf(ws, text);
  // With fewer than two shown groups the pairwise windows keep their last tables.
  if (written.empty() && (text == TextOutput::LogRank || text == TextOutput::Wilcoxon)) return;
  WriteResultText(sink, written);
}

void Present(Workspace& ws, Surfaces& surfaces, int curveWeeks) {
  ws.geometry.xMax = curveWeeks;
  RedrawGraph(ws, surfaces);
  for (TextOutput text : kTextOutputs) PresentText(ws, surfaces, text);
  for (ViewOutput view : kViewOutputs) DrawView(ws, view, SurfaceOf(surfaces, view));
}

void LoadAndAnalyse(const std::string& path, Workspace& ws, Surfaces& surfaces, std::string_view shownPath) {
  DiscardingReport noReport;
  DiscardingBoxes noBoxes;
  LoadDataFile(path, ws, surfaces.report != nullptr ? *surfaces.report : noReport,
               surfaces.boxes != nullptr ? *surfaces.boxes : noBoxes, shownPath);
  AfterLoad(ws, surfaces);
}

void LoadBytesAndAnalyse(std::string_view shownPath, std::string_view bytes, Workspace& ws, Surfaces& surfaces) {
  DiscardingReport noReport;
  DiscardingBoxes noBoxes;
  LoadDataBytes(shownPath, bytes, ws, surfaces.report != nullptr ? *surfaces.report : noReport,
                surfaces.boxes != nullptr ? *surfaces.boxes : noBoxes);
  AfterLoad(ws, surfaces);
}

}  // namespace orv
