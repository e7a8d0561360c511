// Speed of one analysis run over the largest tables: 20 groups with events in every week.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "session/analysis.h"
#include "stats/group_tests.h"
#include "stats/publication_figures.h"

namespace {

// 20 shown groups; in every one of the 2,081 weeks each group has deaths and a censored
// case, in numbers that differ by group so that no pair is trivially equal.
std::unique_ptr<orv::Workspace> FullWorkspace() {
  auto ws = std::make_unique<orv::Workspace>();
  orv::CaseData& c = ws->cases;
  c.NumGroups = 20;
  for (int g = 1; g <= 20; ++g) {
    const auto gi = static_cast<std::size_t>(g);
    for (int w = 0; w <= orv::kMaxWeek; ++w) {
      const auto wi = static_cast<std::size_t>(w);
      const orv::Count deaths = 1 + (w * g) % 3;
      c.WeekCounts[wi][orv::kCodeCensored][gi] = 1;
      c.WeekCounts[wi][orv::kCodeDeath][gi] = deaths;
      c.GroupTotals[orv::kTotalCensored][gi] += 1;
      c.GroupTotals[orv::kTotalDeaths][gi] += deaths;
    }
    c.GroupTotals[orv::kTotalCensoredAndDeaths][gi] = c.GroupTotals[orv::kTotalCensored][gi] + c.GroupTotals[orv::kTotalDeaths][gi];
    c.GroupTotals[orv::kTotalRows][gi] = c.GroupTotals[orv::kTotalCensoredAndDeaths][gi];
    ws->shown.Set(g, true);
  }
  c.dataMaxWeeks = orv::kMaxWeek;
  ws->geometry.xMax = orv::kMaxWeek;
  return ws;
}

// Survival tables, pooled table, overall and pair statistics and both pairwise tables;
// the surfaces have no canvases, so nothing is drawn.
void BM_AnalysisRun20GroupsEveryWeek(benchmark::State& state) {
  const auto ws = FullWorkspace();
  for (auto _ : state) {
    orv::BuildGroupTables(*ws);
    orv::BuildPooledTable(*ws);
    orv::ComputePetoStatistic(ws->cases, ws->survival, ws->shown, ws->geometry.xMax, ws->tests);
    benchmark::DoNotOptimize(ws->tests.wilcoxonTable.data());
  }
  state.counters["pairs"] = static_cast<double>(ws->tests.ShownGroupCount * (ws->tests.ShownGroupCount - 1) / 2);
}
BENCHMARK(BM_AnalysisRun20GroupsEveryWeek)->Unit(benchmark::kMillisecond);

// The same run with the publication figures: every group's estimates, intervals, median and
// year marks, and the hazard ratio of each of the 190 pairs.
void BM_AnalysisRunWithFigures20GroupsEveryWeek(benchmark::State& state) {
  const auto ws = FullWorkspace();
  for (auto _ : state) {
    orv::BuildGroupTables(*ws);
    orv::BuildPooledTable(*ws);
    orv::ComputePetoStatistic(ws->cases, ws->survival, ws->shown, ws->geometry.xMax, ws->tests);
    orv::ComputePublicationFigures(ws->cases, ws->survival, ws->geometry.xMax, ws->figures);
    benchmark::DoNotOptimize(ws->figures.hazardRatios[19][20].beta);
  }
}
BENCHMARK(BM_AnalysisRunWithFigures20GroupsEveryWeek)->Unit(benchmark::kMillisecond);

// The whole analysis run as a change of the shown groups starts it: the same with the
// reviewer's figures (standard log-rank, reference ratios, proportional-hazards checks,
// restricted means, follow-up) and the texts of the pairwise tables and the intervals window;
// no window to draw in, so no paragraph for the paper.
void BM_WholeAnalysisRun20GroupsEveryWeek(benchmark::State& state) {
  const auto ws = FullWorkspace();
  orv::Surfaces none;
  for (auto _ : state) {
    orv::ComputeGroupSurvival(*ws, none);
    benchmark::DoNotOptimize(ws->reviewer.pairPh[19][20].statistic);
  }
}
BENCHMARK(BM_WholeAnalysisRun20GroupsEveryWeek)->Unit(benchmark::kMillisecond);

// The publication figures alone.
void BM_PublicationFigures20GroupsEveryWeek(benchmark::State& state) {
  const auto ws = FullWorkspace();
  orv::BuildGroupTables(*ws);
  orv::BuildPooledTable(*ws);
  for (auto _ : state) {
    orv::ComputePublicationFigures(ws->cases, ws->survival, ws->geometry.xMax, ws->figures);
    benchmark::DoNotOptimize(ws->figures.hazardRatios[19][20].beta);
  }
}
BENCHMARK(BM_PublicationFigures20GroupsEveryWeek)->Unit(benchmark::kMillisecond);

}  // namespace
