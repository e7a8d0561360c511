// Speed of the Cox model of many terms: 1,000,000 cases and 10 columns (two group
// indicators, four continuous covariates, a four-level factor as three indicators and a
// binary one), deaths spread over 520 weeks with ties in every week.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>

#include "stats/cox_model.h"

namespace {

constexpr std::size_t kCases = 1000000;
constexpr std::size_t kColumns = 10;

orv::CoxDesign LargeDesign() {
  orv::CoxDesign design;
  std::mt19937_64 random(33);
  std::normal_distribution<double> normal;
  std::uniform_real_distribution<double> uniform;
  design.columns.resize(kColumns, "x");
  design.x.reserve(kCases * kColumns);
  for (std::size_t i = 0; i < kCases; ++i) {
    const int group = static_cast<int>(i % 3);
    const int level = static_cast<int>((i / 3) % 4);
    const double row[kColumns] = {group == 1 ? 1.0 : 0.0, group == 2 ? 1.0 : 0.0, normal(random), normal(random),
                                  normal(random), uniform(random), level == 1 ? 1.0 : 0.0, level == 2 ? 1.0 : 0.0,
                                  level == 3 ? 1.0 : 0.0, uniform(random) < 0.4 ? 1.0 : 0.0};
    double eta = 0.3 * row[0] + 0.6 * row[1] + 0.2 * row[2] - 0.1 * row[3] + 0.3 * row[5] + 0.4 * row[8] + 0.2 * row[9];
    design.x.insert(design.x.end(), row, row + kColumns);
    const double death = -std::log(uniform(random)) / (0.004 * std::exp(eta));
    const double censor = 100 + 420 * uniform(random);
    design.week.push_back(static_cast<std::int32_t>(std::min(death, censor)));
    design.event.push_back(death <= censor ? 1 : 0);
  }
  return design;
}

void BM_CoxModelTenColumnsMillionCases(benchmark::State& state) {
  const orv::CoxDesign design = LargeDesign();
  for (auto _ : state) {
    orv::CoxModel model = orv::FitCoxModel(design);
    benchmark::DoNotOptimize(model.logLik);
    if (!model.refusal.empty()) state.SkipWithError("not fitted");
  }
}
BENCHMARK(BM_CoxModelTenColumnsMillionCases)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
