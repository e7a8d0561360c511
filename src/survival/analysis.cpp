// The analysis chain: weekly survival tables per group and pooled, the analysis run and the
// load that starts it.
#include "survival/analysis.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "data/loader.h"
#include "graph/number_at_risk.h"
#include "graph/plot_frame.h"
#include "graph/tables.h"
#include "stats/group_tests.h"
#include "stats/interval_text.h"
#include "stats/publication_figures.h"
#include "stats/survival_rate_view.h"
#include "survival/km_estimates.h"
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

std::string YearSurvivalText(double s) { return s != 0 ? PercentText(s) + " %" : "   . "; }

// Hazard, survival, the median and columns 1 to 4 of groups `from` to `to`, from their
// counts, cumulative events and numbers at risk. The survival is the whole Kaplan-Meier
// product, multiplied as the publication figures multiply it so both give the same double:
// a fraction cut at every week would carry each cut into the next and drift further below
// the estimate the more deaths there are. It is cut to three decimals only where it becomes
// text. The weeks run in the outer loop so that each pass reads one row of the table for
// every group at once.
void FillSurvival(SurvivalTables& t, int from, int to) {
  std::array<double, kGroupSlots> previous;
  previous.fill(1);
  std::array<bool, kGroupSlots> medianFound{};
  int lastOfAll = 0;
  for (int g = from; g <= to; ++g) lastOfAll = std::max(lastOfAll, TruncToInt32(t.lastEventWeek[static_cast<std::size_t>(g)]));
  for (int w = 0; w <= lastOfAll; ++w) {
    auto& week = t.SurvivalTable[static_cast<std::size_t>(w)];
    for (int g = from; g <= to; ++g) {
      const auto gi = static_cast<std::size_t>(g);
      if (w > t.lastEventWeek[gi]) continue;
      const Count atRisk = t.AtRiskTable[static_cast<std::size_t>(w)][gi];
      // Nobody at risk has no hazard; a load never leaves deaths without anyone at risk.
      const double q = atRisk > 0 ? week[kDeaths][gi] / static_cast<double>(atRisk) : 0.0;
      week[kHazard][gi] = q;
      if (q > 0) previous[gi] *= 1 - q;
      const double s = previous[gi];
      week[kSurvival][gi] = s;
      if (s <= 0.5 + kHalfTolerance && !medianFound[gi]) {
        medianFound[gi] = true;
        t.GroupSummaryTexts[gi][kMedian] = WeeksToYearsMonths(static_cast<std::uint32_t>(w));
      }
    }
  }
  for (int g = from; g <= to; ++g) {
    const auto gi = static_cast<std::size_t>(g);
    auto& texts = t.GroupSummaryTexts[gi];
    const int last = TruncToInt32(t.lastEventWeek[gi]);
    texts[kFiveYears] = YearSurvivalText(t.SurvivalTable[260][kSurvival][gi]);
    texts[kTenYears] = YearSurvivalText(t.SurvivalTable[520][kSurvival][gi]);
    texts[kDataMax] = PercentText(t.SurvivalTable[static_cast<std::size_t>(last)][kSurvival][gi]) + " % ," +
                      WeeksToYearsMonths(static_cast<std::uint32_t>(last));
  }
}

}  // namespace

void BuildGroupTables(Workspace& ws) {
  SurvivalTables& t = ws.survival;
  const CaseData& c = ws.cases;
  // Numbers at risk are cleared too: a later week of a previous, longer file must not
  // reach the tests of this one.
  for (auto& week : t.SurvivalTable) week = {};
  for (auto& week : t.AtRiskTable) week = {};
  t.lastEventWeek = {};
  for (int g = 1; g < kGroupSlots; ++g) {
    for (int col = kFiveYears; col <= kGraphMax; ++col) t.GroupSummaryTexts[static_cast<std::size_t>(g)][col].clear();
  }

  const int groups = LastGroup(ws.cases);
  for (int w = 0; w <= kMaxWeek; ++w) {
    const auto wi = static_cast<std::size_t>(w);
    auto& week = t.SurvivalTable[wi];
    for (int g = 1; g <= groups; ++g) {
      const auto gi = static_cast<std::size_t>(g);
      week[kCensored][gi] = static_cast<double>(c.WeekCounts[wi][kCodeCensored][gi]);
      week[kDeaths][gi] = static_cast<double>(c.WeekCounts[wi][kCodeDeath][gi]);
      week[kCumulative][gi] = week[kCensored][gi] + week[kDeaths][gi];
      if (week[kCumulative][gi] != 0) t.lastEventWeek[gi] = w;
    }
  }
  for (int g = 1; g <= groups; ++g) t.AtRiskTable[0][static_cast<std::size_t>(g)] = c.GroupTotals[kTotalCensoredAndDeaths][static_cast<std::size_t>(g)];
  for (int w = 1; w <= kMaxWeek; ++w) {
    const auto wi = static_cast<std::size_t>(w);
    auto& week = t.SurvivalTable[wi];
    for (int g = 1; g <= groups; ++g) {
      const auto gi = static_cast<std::size_t>(g);
      if (w > t.lastEventWeek[gi]) continue;
      week[kCumulative][gi] += t.SurvivalTable[wi - 1][kCumulative][gi];
      const double total = static_cast<double>(c.GroupTotals[kTotalCensoredAndDeaths][gi]);
      t.AtRiskTable[wi][gi] = TruncToInt64(total - (week[kCumulative][gi] - week[kCensored][gi] - week[kDeaths][gi]));
    }
  }
  FillSurvival(t, 1, groups);
}

void BuildPooledTable(Workspace& ws) {
  SurvivalTables& t = ws.survival;
  CaseData& c = ws.cases;
  for (auto& row : c.GroupTotals) row[0] = 0;
  for (auto& week : t.SurvivalTable) {
    for (int slot = kCensored; slot <= kSurvival; ++slot) week[slot][0] = 0;
  }
  for (auto& week : t.AtRiskTable) week[0] = 0;
  t.lastEventWeek[0] = 0;
  for (int col = kFiveYears; col <= kGraphMax; ++col) t.GroupSummaryTexts[0][col].clear();

  for (int g = 1; g <= LastGroup(ws.cases); ++g) {
    if (!Shown(ws.styles, g)) continue;
    const auto gi = static_cast<std::size_t>(g);
    for (int row = kTotalCensored; row <= kTotalCensoredAndDeaths; ++row) c.GroupTotals[static_cast<std::size_t>(row)][0] += c.GroupTotals[static_cast<std::size_t>(row)][gi];
    t.lastEventWeek[0] = std::max(t.lastEventWeek[0], t.lastEventWeek[gi]);
  }
  // Weeks outside, groups inside: each cell still adds the groups in index order.
  for (int w = 0; w <= TruncToInt32(t.lastEventWeek[0]); ++w) {
    const auto wi = static_cast<std::size_t>(w);
    auto& week = t.SurvivalTable[wi];
    for (int g = 1; g <= LastGroup(ws.cases); ++g) {
      const auto gi = static_cast<std::size_t>(g);
      // Weeks after a group's last event add nothing.
      if (!Shown(ws.styles, g) || w > t.lastEventWeek[gi]) continue;
      for (int slot = kCensored; slot <= kCumulative; ++slot) week[slot][0] += week[slot][gi];
      t.AtRiskTable[wi][0] += t.AtRiskTable[wi][gi];
    }
  }
  // Without a shown case there is nothing to estimate: group 0 keeps an all-zero table and
  // empty figures instead of a survival of 100 % over no one.
  if (t.AtRiskTable[0][0] <= 0) return;
  FillSurvival(t, 0, 0);
}

void RunAnalysis(Workspace& ws, Surfaces& surfaces) {
  Count total = 0;
  double lastWeek = 0;
  bool anyShown = false;
  for (int g = 1; g <= LastGroup(ws.cases); ++g) {
    if (!Shown(ws.styles, g)) continue;
    anyShown = true;
    total += ws.cases.GroupTotals[kTotalRows][static_cast<std::size_t>(g)];
    lastWeek = std::max(lastWeek, ws.survival.lastEventWeek[static_cast<std::size_t>(g)]);
  }
  ws.survival.ShownCaseTotal = total;
  ws.survival.GroupSummaryTexts[0][kLabel] = After("all Case ( n=", FormatNumber(static_cast<double>(total))) + " )  ";

  // The range is only lowered here, to the first year boundary at or after the last event.
  // With no group shown there is nothing to fit: the range the user chose stays for the
  // groups shown again later.
  const double fitted = -52 * std::floor(-lastWeek / 52);
  if (anyShown && fitted < ws.geometry.xMax) ws.geometry.xMax = TruncToInt32(fitted);

  ComputePetoStatistic(ws, surfaces);
  ComputePublicationFigures(ws.cases, ws.survival, ws.geometry.xMax, ws.figures);
  RedrawGraph(ws, surfaces);
  DrawLegend(ws, surfaces.legend);
  DrawSurvivalRateView(ws, surfaces.survivalRate);
  DrawCumulativeDeaths(ws, surfaces.cumulativeDeaths);
  DrawDeathsByCause(ws, surfaces.deathsByCause);
  DrawNumberAtRisk(ws, surfaces.numberAtRisk);
  WriteIntervals(ws, surfaces.intervals);
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

namespace {

// The steps of the road after the loader: the view sizes, then the survival chain.
void AfterLoad(Workspace& ws, Surfaces& surfaces) {
  if (surfaces.views != nullptr) surfaces.views->Resize(ws.viewSizes);
  ComputeGroupSurvival(ws, surfaces);
}

}  // namespace

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
