// Speed of the Cox model of many terms: 1,000,000 cases and 10 columns (two group
// indicators, four continuous covariates, a four-level factor as three indicators and a
// binary one), deaths spread over 520 weeks with ties in every week; and the Fine-Gray model
// of the same design with a competing cause.
#include <benchmark/benchmark.h>

#include <memory>

#include "case_file.h"
#include "cox_design.h"
#include "platform/recording.h"
#include "session/analysis.h"
#include "stats/adjusted_analysis.h"
#include "stats/fine_gray_model.h"

namespace {

void BM_CoxModelTenColumnsMillionCases(benchmark::State& state) {
  const orv::CoxDesign design = orv::bench::LargeCoxDesign();
  for (auto _ : state) {
    orv::CoxModel model = orv::FitCoxModel(design);
    benchmark::DoNotOptimize(model.logLik);
    if (!model.refusal.empty()) state.SkipWithError("not fitted");
  }
}
BENCHMARK(BM_CoxModelTenColumnsMillionCases)->Unit(benchmark::kMillisecond)->Iterations(3);

// Every fourth death a death of the competing cause.
void BM_FineGrayModelTenColumnsMillionCases(benchmark::State& state) {
  orv::CoxDesign design = orv::bench::LargeCoxDesign();
  design.competing.assign(design.Rows(), 0);
  for (std::size_t i = 0; i < design.Rows(); i += 4) {
    design.competing[i] = design.event[i];
    design.event[i] = 0;
  }
  for (auto _ : state) {
    orv::AdjustedFineGray model = orv::FitFineGrayModel(design);
    benchmark::DoNotOptimize(model.logPseudoLik);
    if (!model.refusal.empty()) state.SkipWithError("not fitted");
  }
}
BENCHMARK(BM_FineGrayModelTenColumnsMillionCases)->Unit(benchmark::kMillisecond)->Iterations(3);

// What every analysis run now adds: the one Cox model of the shown groups (no covariates) over
// a generated registry export of a million rows, 20 groups shown (19 columns).
void BM_GroupModelOfEveryRunMillionRows(benchmark::State& state) {
  auto ws = std::make_unique<orv::Workspace>();
  orv::RecordingRichText report;
  orv::RecordingMessageBoxes boxes;
  orv::LoadDataBytes("bench.csv", orv::bench::GeneratedCaseFile(orv::bench::kMillionRows), *ws, report, boxes);
  const orv::GroupSet shown = orv::DefaultShownGroups(ws->cases);
  for (auto _ : state) {
    const orv::AdjustedAnalysis a = orv::FitAdjustedAnalysis(ws->cases, shown, 0, 260, {});
    benchmark::DoNotOptimize(a.model.logLik);
    if (!a.model.refusal.empty()) state.SkipWithError("not fitted");
  }
}
BENCHMARK(BM_GroupModelOfEveryRunMillionRows)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
