// The proportional-hazards score test of a two-group Cox model on the Kaplan-Meier time scale.
#include "stats/proportional_hazards.h"

#include <algorithm>
#include <cmath>

#include "stats/chi_square.h"

namespace orv {

ProportionalHazardsTest TestProportionalHazards(std::span<const double> deathsA, std::span<const double> atRiskA,
                                               std::span<const double> deathsB, std::span<const double> atRiskB,
                                               const HazardRatio& fit) {
  ProportionalHazardsTest test;
  if (!fit.estimated) return test;
  const std::size_t weeks = std::min({deathsA.size(), atRiskA.size(), deathsB.size(), atRiskB.size()});

  // The centre of the time scale: the mean of 1 - S(w-) over every death of the fitted data.
  double survival = 1, deaths = 0, scaleSum = 0;
  for (std::size_t w = 0; w < weeks; ++w) {
    const double d = deathsA[w] + deathsB[w];
    const double n = atRiskA[w] + atRiskB[w];
    if (!(d > 0) || !(n > 0)) continue;
    deaths += d;
    scaleSum += d * (1 - survival);
    survival *= 1 - d / n;
  }
  if (!(deaths > 0)) return test;
  const double centre = scaleSum / deaths;

  const double r = std::exp(fit.beta);
  double u = 0, i11 = 0, i12 = 0, i22 = 0;
  int informative = 0;
  survival = 1;
  for (std::size_t w = 0; w < weeks; ++w) {
    const double da = deathsA[w], db = deathsB[w];
    const double na = atRiskA[w], nb = atRiskB[w];
    const double d = da + db;
    if (!(d > 0) || !(na + nb > 0)) continue;
    const double g = (1 - survival) - centre;
    survival *= 1 - d / (na + nb);
    if (!(na > 0) || !(nb > 0)) continue;
    ++informative;
    double expected = 0, variance = 0;
    const double perDeath = 1 / d;
    for (double k = 1; k <= d; ++k) {
      const double f = k * perDeath;
      const double b = (nb - db + f * db) * r;
      const double m = b / (na - da + f * da + b);
      expected += m;
      variance += m * (1 - m);
    }
    u += g * (db - expected);
    i11 += variance;
    i12 += g * variance;
    i22 += g * g * variance;
  }
  const double determinant = i11 * i22 - i12 * i12;
  if (informative < 2 || !(determinant > 0)) return test;
  test.tested = true;
  test.statistic = u * u * i11 / determinant;
  test.p = ChiSquareTail(1, test.statistic);
  return test;
}

}  // namespace orv
