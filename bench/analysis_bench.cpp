// Speed of one analysis run over the largest tables: 20 groups with events in every week.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/recording.h"
#include "session/analysis.h"
#include "stats/group_tests.h"
#include "stats/publication_figures.h"
#include "words/pairwise_tables.h"

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
    orv::BuildGroupTables(ws->cases, ws->run.survival);
    orv::BuildPooledTable(ws->cases, ws->shown, ws->run.survival);
    orv::ComputePetoStatistic(ws->cases, ws->run.survival, ws->shown, ws->geometry.xMax, ws->run.tests);
    const std::string logRank = orv::LogRankTable(*ws);
    const std::string wilcoxon = orv::WilcoxonTable(*ws);
    benchmark::DoNotOptimize(logRank.data());
    benchmark::DoNotOptimize(wilcoxon.data());
  }
  state.counters["pairs"] = static_cast<double>(ws->run.tests.ShownGroupCount * (ws->run.tests.ShownGroupCount - 1) / 2);
}
BENCHMARK(BM_AnalysisRun20GroupsEveryWeek)->Unit(benchmark::kMillisecond);

// The same run with the publication figures: every group's estimates, intervals, median and
// year marks, and the hazard ratio of each of the 190 pairs.
void BM_AnalysisRunWithFigures20GroupsEveryWeek(benchmark::State& state) {
  const auto ws = FullWorkspace();
  for (auto _ : state) {
    orv::BuildGroupTables(ws->cases, ws->run.survival);
    orv::BuildPooledTable(ws->cases, ws->shown, ws->run.survival);
    orv::ComputePetoStatistic(ws->cases, ws->run.survival, ws->shown, ws->geometry.xMax, ws->run.tests);
    orv::ComputePublicationFigures(ws->cases, ws->run.survival, ws->geometry.xMax, ws->run.figures);
    benchmark::DoNotOptimize(ws->run.figures.hazardRatios[19][20].beta);
  }
}
BENCHMARK(BM_AnalysisRunWithFigures20GroupsEveryWeek)->Unit(benchmark::kMillisecond);

// The whole analysis run as a change of the shown groups starts it: the same with the
// reviewer's figures (standard log-rank, reference ratios, proportional-hazards checks,
// restricted means, follow-up) and the texts of the pairwise tables and the intervals window;
// no window to draw in, so no paragraph for the paper.
void BM_WholeAnalysisRun20GroupsEveryWeek(benchmark::State& state) {
  const auto ws = FullWorkspace();
  orv::RecordingResultText logRank, wilcoxon, intervals;
  orv::Surfaces texts{.logRank = &logRank, .wilcoxon = &wilcoxon, .intervals = &intervals};
  for (auto _ : state) {
    orv::ComputeGroupSurvival(*ws, texts);
    benchmark::DoNotOptimize(ws->run.reviewer.pairPh[19][20].statistic);
  }
}
BENCHMARK(BM_WholeAnalysisRun20GroupsEveryWeek)->Unit(benchmark::kMillisecond);

// The publication figures alone.
void BM_PublicationFigures20GroupsEveryWeek(benchmark::State& state) {
  const auto ws = FullWorkspace();
  orv::BuildGroupTables(ws->cases, ws->run.survival);
  orv::BuildPooledTable(ws->cases, ws->shown, ws->run.survival);
  for (auto _ : state) {
    orv::ComputePublicationFigures(ws->cases, ws->run.survival, ws->geometry.xMax, ws->run.figures);
    benchmark::DoNotOptimize(ws->run.figures.hazardRatios[19][20].beta);
  }
}
BENCHMARK(BM_PublicationFigures20GroupsEveryWeek)->Unit(benchmark::kMillisecond);

}  // namespace
