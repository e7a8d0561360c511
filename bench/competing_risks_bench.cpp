// Speed of the competing-risks figures over the largest tables: 20 groups with deaths of
// interest, competing deaths and censored cases in every one of the 2,081 weeks.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "platform/recording.h"
#include "session/analysis.h"
#include "stats/competing_results.h"
#include "stats/cumulative_incidence.h"
#include "stats/fine_gray.h"
#include "stats/gray_statistic.h"

namespace {

constexpr int kGroups = 20;
constexpr std::size_t kWeeks = 2081;

struct Columns {
  std::vector<double> atRisk, interest, competing, censored;
  orv::CauseCounts Counts() const { return {atRisk, interest, competing, censored}; }
};

// Counts that differ by group so that no pair is trivially equal; group 0 is the pool.
std::vector<Columns> EveryWeek() {
  std::vector<Columns> groups(kGroups + 1);
  for (auto& c : groups) {
    c.atRisk.assign(kWeeks, 0);
    c.interest.assign(kWeeks, 0);
    c.competing.assign(kWeeks, 0);
    c.censored.assign(kWeeks, 1);
  }
  for (std::size_t g = 1; g <= kGroups; ++g) {
    Columns& c = groups[g];
    double cases = 0;
    for (std::size_t w = 0; w < kWeeks; ++w) {
      c.interest[w] = static_cast<double>(1 + (w * g) % 3);
      c.competing[w] = static_cast<double>(1 + (w + g) % 2);
      cases += c.interest[w] + c.competing[w] + c.censored[w];
    }
    for (std::size_t w = 0; w < kWeeks; ++w) {
      c.atRisk[w] = cases;
      cases -= c.interest[w] + c.competing[w] + c.censored[w];
      groups[0].atRisk[w] += c.atRisk[w];
      groups[0].interest[w] += c.interest[w];
      groups[0].competing[w] += c.competing[w];
    }
  }
  groups[0].censored.assign(kWeeks, kGroups);
  return groups;
}

// The incidence of the pool and every group, Gray's test over the 20 groups and for each of
// the 190 pairs, and the Fine-Gray ratio of each pair.
void BM_CompetingRisks20GroupsEveryWeek(benchmark::State& state) {
  const std::vector<Columns> groups = EveryWeek();
  std::vector<orv::CauseCounts> counts;
  for (const Columns& c : groups) counts.push_back(c.Counts());
  std::vector<orv::IncidenceEstimates> incidence(groups.size());
  std::vector<orv::GrayColumns> grayColumns(groups.size());
  std::vector<const orv::GrayColumns*> shown;
  for (std::size_t g = 1; g < groups.size(); ++g) shown.push_back(&grayColumns[g]);
  orv::GrayScratch gray;
  orv::FineGrayScratch fineGray;
  int estimated = 0;
  for (auto _ : state) {
    estimated = 0;
    for (std::size_t g = 0; g < groups.size(); ++g) {
      orv::EstimateIncidence(counts[g], incidence[g]);
      if (g > 0) orv::PrepareGrayColumns(counts[g], grayColumns[g]);
    }
    benchmark::DoNotOptimize(orv::ComputeGrayTest(shown, gray).statistic);
    for (std::size_t a = 1; a < groups.size(); ++a) {
      for (std::size_t b = a + 1; b < groups.size(); ++b) {
        benchmark::DoNotOptimize(orv::ComputePairGrayTest(grayColumns[a], grayColumns[b]).statistic);
        const orv::SubHazardRatio h = orv::EstimateSubHazardRatio(counts[a], counts[b], fineGray);
        estimated += h.estimated ? 1 : 0;
        benchmark::DoNotOptimize(h.beta);
      }
    }
  }
  state.counters["estimated"] = estimated;
}
BENCHMARK(BM_CompetingRisks20GroupsEveryWeek)->Unit(benchmark::kMillisecond);

// The parts alone.
void BM_CumulativeIncidence21Groups(benchmark::State& state) {
  const std::vector<Columns> groups = EveryWeek();
  orv::IncidenceEstimates incidence;
  for (auto _ : state) {
    for (const Columns& c : groups) orv::EstimateIncidence(c.Counts(), incidence);
    benchmark::DoNotOptimize(incidence.stdErr.data());
  }
}
BENCHMARK(BM_CumulativeIncidence21Groups)->Unit(benchmark::kMillisecond);

void BM_GrayTestOverall20Groups(benchmark::State& state) {
  const std::vector<Columns> groups = EveryWeek();
  std::vector<orv::GrayColumns> columns(groups.size());
  std::vector<const orv::GrayColumns*> shown;
  for (std::size_t g = 1; g < groups.size(); ++g) {
    orv::PrepareGrayColumns(groups[g].Counts(), columns[g]);
    shown.push_back(&columns[g]);
  }
  orv::GrayScratch gray;
  for (auto _ : state) benchmark::DoNotOptimize(orv::ComputeGrayTest(shown, gray).statistic);
}
BENCHMARK(BM_GrayTestOverall20Groups)->Unit(benchmark::kMillisecond);

void BM_GrayTest190Pairs(benchmark::State& state) {
  const std::vector<Columns> groups = EveryWeek();
  std::vector<orv::GrayColumns> columns(groups.size());
  for (std::size_t g = 1; g < groups.size(); ++g) orv::PrepareGrayColumns(groups[g].Counts(), columns[g]);
  for (auto _ : state) {
    for (std::size_t a = 1; a < groups.size(); ++a) {
      for (std::size_t b = a + 1; b < groups.size(); ++b) {
        benchmark::DoNotOptimize(orv::ComputePairGrayTest(columns[a], columns[b]).statistic);
      }
    }
  }
}
BENCHMARK(BM_GrayTest190Pairs)->Unit(benchmark::kMillisecond);

void BM_FineGray190Pairs(benchmark::State& state) {
  const std::vector<Columns> groups = EveryWeek();
  orv::FineGrayScratch fineGray;
  for (auto _ : state) {
    for (std::size_t a = 1; a < groups.size(); ++a) {
      for (std::size_t b = a + 1; b < groups.size(); ++b) {
        benchmark::DoNotOptimize(orv::EstimateSubHazardRatio(groups[a].Counts(), groups[b].Counts(), fineGray).beta);
      }
    }
  }
}
BENCHMARK(BM_FineGray190Pairs)->Unit(benchmark::kMillisecond);

// 20 shown groups, in every week deaths of interest, a competing death (a death of the
// censored cause 1) and a censored case.
std::unique_ptr<orv::Workspace> CompetingWorkspace() {
  auto ws = std::make_unique<orv::Workspace>();
  orv::CaseData& c = ws->cases;
  c.NumGroups = kGroups;
  c.NumCauses = 2;
  c.CauseCensored[1] = 1;
  for (std::size_t g = 1; g <= kGroups; ++g) {
    for (std::size_t w = 0; w < kWeeks; ++w) {
      const orv::Count deaths = static_cast<orv::Count>(1 + (w * g) % 3);
      c.WeekCounts[w][orv::kCodeCensored][g] = 2;
      c.CompetingDeaths[w][g] = 1;
      c.WeekCounts[w][orv::kCodeDeath][g] = deaths;
      c.GroupTotals[orv::kTotalCensored][g] += 2;
      c.GroupTotals[orv::kTotalDeaths][g] += deaths;
    }
    c.GroupTotals[orv::kTotalCensoredAndDeaths][g] = c.GroupTotals[orv::kTotalCensored][g] + c.GroupTotals[orv::kTotalDeaths][g];
    c.GroupTotals[orv::kTotalRows][g] = c.GroupTotals[orv::kTotalCensoredAndDeaths][g];
    ws->shown.Set(static_cast<int>(g), true);
  }
  c.dataMaxWeeks = orv::kMaxWeek;
  ws->geometry.xMax = orv::kMaxWeek;
  return ws;
}

// The analysis run's step from the weekly tables.
void BM_CompetingRisksOfTheAnalysisRun20Groups(benchmark::State& state) {
  const auto ws = CompetingWorkspace();
  orv::BuildGroupTables(ws->cases, ws->run.survival);
  orv::BuildPooledTable(ws->cases, ws->shown, ws->run.survival);
  for (auto _ : state) {
    orv::ComputeCompetingRisks(ws->cases, ws->run.survival, ws->shown, orv::kMaxWeek, ws->run.competing);
    benchmark::DoNotOptimize(ws->run.competing.ratios[19][20].beta);
  }
  state.counters["tested"] = ws->run.competing.overall.tested ? 1 : 0;
}
BENCHMARK(BM_CompetingRisksOfTheAnalysisRun20Groups)->Unit(benchmark::kMillisecond);

// The whole analysis run as a change of the shown groups starts it: the survival tables, the
// tests and pairwise tables, the publication, competing-risks and reviewer figures (no window
// to draw in).
void BM_WholeAnalysisRunWithCompetingRisks20Groups(benchmark::State& state) {
  const auto ws = CompetingWorkspace();
  orv::RecordingResultText logRank, wilcoxon, intervals;
  orv::Surfaces texts{.logRank = &logRank, .wilcoxon = &wilcoxon, .intervals = &intervals};
  for (auto _ : state) {
    orv::ComputeGroupSurvival(*ws, texts);
    benchmark::DoNotOptimize(ws->run.competing.ratios[19][20].beta);
  }
}
BENCHMARK(BM_WholeAnalysisRunWithCompetingRisks20Groups)->Unit(benchmark::kMillisecond);

}  // namespace
