// The analysis chain: the load, the weekly survival tables per group and pooled, the
// analysis run with its tests and figures, and the redraws that follow.
#include "session/analysis.h"

#include <algorithm>
#include <cmath>

#include "graph/curves.h"
#include "graph/incidence_view.h"
#include "graph/number_at_risk.h"
#include "graph/plot_frame.h"
#include "graph/survival_rate_view.h"
#include "graph/tables.h"
#include "graph/view_layout.h"
#include "stats/competing_results.h"
#include "stats/group_tests.h"
#include "stats/interval_text.h"
#include "stats/paper_text.h"
#include "stats/publication_figures.h"
#include "text/number_text.h"
#include "text/period_text.h"
#include "text/truncate.h"

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
  if (sink == nullptr) return;
  ResultClear(*sink);
  ResultAppend(*sink, text);
  sink->CaretToStart();
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
  ws.dataPath = shownPath;
  ws.geometry.xMax = kWeeksPerFiveYears;
  ws.geometry.tickStep = kWeeksPerYear;
  ws.shown = DefaultShownGroups(ws.cases);
  // Nothing computed from the previous file stays: its weekly tables and their texts.
  for (auto& week : ws.survival.SurvivalTable) week = {};
  for (auto& week : ws.survival.AtRiskTable) week = {};
  for (auto& texts : ws.survival.GroupSummaryTexts) {
    for (int col = kFiveYears; col <= kGraphMax; ++col) texts[static_cast<std::size_t>(col)].clear();
  }
  for (int g = 1; g <= ws.cases.NumGroups; ++g) {
    const auto gi = static_cast<std::size_t>(g);
    ws.survival.GroupSummaryTexts[gi][kLabel] =
        ws.cases.GroupNames[gi] + " ( n = " + FormatNumber(static_cast<double>(ws.cases.GroupTotals[kTotalRows][gi])) + " )";
  }
  ws.viewSizes = ViewSizesFor(ws.cases.NumGroups, ws.cases.NumCauses);
}

FileRead LoadDataFile(const std::string& path, Workspace& ws, RichTextSink& report, MessageBoxes& boxes,
                      std::string_view shownPath, std::uint64_t maxBytes) {
  DataFileBytes file = ReadDataFile(path, maxBytes);
  if (file.status == FileRead::TooLarge) boxes.Show(TooLargeText(maxBytes), "データの確認！", BoxIcon::Warning);
  LoadDataBytes(shownPath.empty() ? std::string_view(path) : shownPath, file.bytes, ws, report, boxes);
  return file.status;
}

void BuildGroupTables(Workspace& ws) { BuildGroupTables(ws.cases, ws.survival); }

void BuildPooledTable(Workspace& ws) { BuildPooledTable(ws.cases, ws.shown, ws.survival); }

void ComputeReviewerResults(Workspace& ws, int lastWeek) {
  ComputeReviewerResults(ws.cases, ws.survival, ws.shown, ws.figures.hazardRatios, lastWeek, ws.referenceGroup,
                         ws.reviewer);
}

void RedrawGraph(Workspace& ws, Surfaces& surfaces) {
  for (Canvas* c : {surfaces.graph, surfaces.screen}) {
    if (c != nullptr) c->FillRect(c->ClientRect(), kWhite);
  }
  PlotGeometry& geo = ws.geometry;
  geo.pixelsPerWeek = PixelsPerWeek(geo);
  // Where each curve ends at the range it is drawn with, for the survival-rate view.
  const int lastGroup = LastGroup(ws.cases);
  for (int g = 0; g <= lastGroup; ++g) {
    std::string& text = ws.survival.GroupSummaryTexts[static_cast<std::size_t>(g)][kGraphMax];
    text = ws.shown.Contains(g) ? PercentText(SurvivalAtRangeEnd(ws.survival, g, geo.xMax)) + " %" : "";
  }
  if (surfaces.graph != nullptr) DrawCurves(ws.survival, ws.shown, ws.styles, geo, lastGroup, *surfaces.graph);

  const std::int32_t drawnRange = geo.xMax;
  FitXRange(geo, ws.cases.dataMaxWeeks);
  // The axis must describe the range it is labelled with; when the range was just fitted,
  // the curves follow at the next redraw.
  if (geo.xMax != drawnRange) geo.pixelsPerWeek = PixelsPerWeek(geo);
  geo.labelDivisor = geo.xMax == kWeeksPerYear ? 1 : 51;

  if (surfaces.graph == nullptr) return;
  DrawAxes(geo, *surfaces.graph);
  surfaces.graph->Invalidate();
}

void RunAnalysis(Workspace& ws, Surfaces& surfaces) {
  Count total = 0;
  double lastWeek = 0;
  bool anyShown = false;
  for (int g = 1; g <= LastGroup(ws.cases); ++g) {
    if (!ws.shown.Contains(g)) continue;
    anyShown = true;
    total += ws.cases.GroupTotals[kTotalRows][static_cast<std::size_t>(g)];
    lastWeek = std::max(lastWeek, ws.survival.lastEventWeek[static_cast<std::size_t>(g)]);
  }
  ws.survival.ShownCaseTotal = total;
  ws.survival.GroupSummaryTexts[0][kLabel] = After("all Case ( n=", FormatNumber(static_cast<double>(total))) + " )  ";

  // The range is only lowered here, to the first year boundary at or after the last event.
  // With no group shown there is nothing to fit: the range the user chose stays for the
  // groups shown again later.
  const double fitted = -kWeeksPerYear * std::floor(-lastWeek / kWeeksPerYear);
  if (anyShown && fitted < ws.geometry.xMax) ws.geometry.xMax = TruncToInt32(fitted);

  ComputePetoStatistic(ws.cases, ws.survival, ws.shown, ws.geometry.xMax, ws.tests);
  // With fewer than two shown groups the windows keep their last tables.
  if (ws.tests.ShownGroupCount >= 2) {
    WriteResultText(surfaces.logRank, ws.tests.logRankTable);
    WriteResultText(surfaces.wilcoxon, ws.tests.wilcoxonTable);
  }
  ComputePublicationFigures(ws.cases, ws.survival, ws.geometry.xMax, ws.figures);
  ComputeCompetingRisks(ws.cases, ws.survival, ws.shown, ws.geometry.xMax, ws.competing);
  ComputeReviewerResults(ws, ws.geometry.xMax);
  FillCauseTotals(ws.cases, ws.shown);
  RedrawGraph(ws, surfaces);
  const AnalysisResults r = ws.Results();
  DrawLegend(r, ws.styles, surfaces.legend);
  DrawSurvivalRateView(r, ws.styles, ws.geometry.xMax, surfaces.survivalRate);
  DrawCumulativeDeaths(r, ws.styles, ws.geometry, surfaces.cumulativeDeaths);
  DrawDeathsByCause(r, ws.styles, surfaces.deathsByCause);
  DrawNumberAtRisk(r, ws.styles, ws.geometry.xMax, surfaces.numberAtRisk);
  WriteResultText(surfaces.intervals, IntervalsText(r, ws.reviewer, ws.competing));
  DrawIncidenceView(r, ws.competing, ws.styles, ws.geometry.xMax, surfaces.incidence);
  if (surfaces.paper != nullptr) WriteResultText(surfaces.paper, PaperWindowText(BuildPaperText(ws.PaperInput())));
}

void ComputeAllCases(Workspace& ws, Surfaces& surfaces) {
  if (surfaces.screen != nullptr) surfaces.screen->TextOut(240, 70, "全体死亡率　初期化中");
  BuildPooledTable(ws);
  RunAnalysis(ws, surfaces);
}

void ComputeGroupSurvival(Workspace& ws, Surfaces& surfaces) {
  if (surfaces.screen != nullptr) surfaces.screen->TextOut(100, 300, "死亡率計算中");
  BuildGroupTables(ws);
  ComputeAllCases(ws, surfaces);
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
