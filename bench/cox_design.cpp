// The generated design of the Cox model benchmark.
#include "cox_design.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>

namespace orv::bench {

CoxDesign LargeCoxDesign() {
  CoxDesign design;
  std::mt19937_64 random(33);
  std::normal_distribution<double> normal;
  std::uniform_real_distribution<double> uniform;
  design.columns.resize(kCoxColumns, "x");
  design.x.reserve(kCoxCases * kCoxColumns);
  for (std::size_t i = 0; i < kCoxCases; ++i) {
    const int group = static_cast<int>(i % 3);
    const int level = static_cast<int>((i / 3) % 4);
    const double row[kCoxColumns] = {group == 1 ? 1.0 : 0.0, group == 2 ? 1.0 : 0.0, normal(random), normal(random),
                                     normal(random), uniform(random), level == 1 ? 1.0 : 0.0, level == 2 ? 1.0 : 0.0,
                                     level == 3 ? 1.0 : 0.0, uniform(random) < 0.4 ? 1.0 : 0.0};
    double eta = 0.3 * row[0] + 0.6 * row[1] + 0.2 * row[2] - 0.1 * row[3] + 0.3 * row[5] + 0.4 * row[8] + 0.2 * row[9];
    design.x.insert(design.x.end(), row, row + kCoxColumns);
    const double death = -std::log(uniform(random)) / (0.004 * std::exp(eta));
    const double censor = 100 + 420 * uniform(random);
    design.week.push_back(static_cast<std::int32_t>(std::min(death, censor)));
    design.event.push_back(death <= censor ? 1 : 0);
  }
  return design;
}

}  // namespace orv::bench
