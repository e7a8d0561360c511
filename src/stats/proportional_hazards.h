// The check of the proportional-hazards assumption behind a two-group hazard ratio: the
// score test that the log hazard ratio does not change along a time scale g (Grambsch &
// Therneau 1994), as R survival 3.5's cox.zph(fit, transform = "km") gives it for a model
// with the group as its one covariate (x = 1 for group b), Efron's ties.
//
// Time scale: g_w = 1 - S(w-) for a death week w, S(w-) the pooled Kaplan-Meier estimate of
// both groups just before week w, centred on its mean over all deaths:
// g_w -= sum_v d_v (1 - S(v-)) / sum_v d_v.
// At the fitted beta, r = e^beta, each week with deaths and both groups at risk gives d
// Efron terms, k = 1..d, f = k / d:
//   m_k = (n_b - d_b + f d_b) r / (n_a - d_a + f d_a + (n_b - d_b + f d_b) r)
//   u  += g_w (d_b - sum_k m_k),  I_11 += sum_k m_k (1 - m_k),
//   I_12 += g_w sum_k m_k (1 - m_k),  I_22 += g_w^2 sum_k m_k (1 - m_k)
// (weeks with one group at risk add nothing). The score of beta itself is taken as 0, so
// X = u^2 I_11 / (I_11 I_22 - I_12^2), df 1, p = P(chi-square(1) > X) not cut.
//
// With fewer than two such weeks g does not vary where it is weighed and I is singular
// (R stops there): there is no test, nor where the ratio has no estimate.
#pragma once

#include <limits>
#include <span>

#include "stats/hazard_ratio.h"

namespace orv {

struct ProportionalHazardsTest {
  bool tested = false;
  double statistic = std::numeric_limits<double>::quiet_NaN();
  int df = 1;
  double p = std::numeric_limits<double>::quiet_NaN();
};

// The same weeks as the ratio's fit (the caller cuts them to the range), and the fit itself.
ProportionalHazardsTest TestProportionalHazards(std::span<const double> deathsA, std::span<const double> atRiskA,
                                               std::span<const double> deathsB, std::span<const double> atRiskB,
                                               const HazardRatio& fit);

}  // namespace orv
