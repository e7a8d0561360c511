// Speed of the Cox model of many terms: 1,000,000 cases and 10 columns (two group
// indicators, four continuous covariates, a four-level factor as three indicators and a
// binary one), deaths spread over 520 weeks with ties in every week.
#include <benchmark/benchmark.h>

#include "cox_design.h"

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

}  // namespace
