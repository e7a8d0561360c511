// Restricted mean survival time to week tau: the expected weeks lived of the first tau, the
// measure to compare groups by when hazards are not proportional (Royston & Parmar 2013).
//
// The area under the Kaplan-Meier curve from 0 to tau, the curve held flat past the group's
// last week observed; a death of week w happens at time w, so S is S(w) over [w, w + 1):
//   A = sum over weeks w = 0..tau-1 of S(w).
// Variance (Klein & Moeschberger 4.5, as R survival's print(survfit, rmean = tau)):
//   var = sum over weeks w <= tau with deaths of A_w^2 d_w / (n_w (n_w - d_w)),
//   A_w = sum over v = w..tau-1 of S(v), the area after w;
// a week in which everyone at risk dies adds nothing. Interval A -/+ z se, z the 0.975
// normal quantile. R refuses a tau before the group's first week observed; the area is then
// tau and its variance 0, as for any tau before the first death.
//
// A difference b - a of two groups: se = sqrt(se_a^2 + se_b^2), interval -/+ z se, two-sided
// p = erfc(|b - a| / (se sqrt 2)); without variance there is no p.
#pragma once

#include <limits>

#include "survival/km_estimates.h"

namespace orv {

struct RestrictedMean {
  bool estimated = false;  // false: the group has no cases, or tau is negative
  int tau = 0;
  double estimate = std::numeric_limits<double>::quiet_NaN();
  double stdErr = std::numeric_limits<double>::quiet_NaN();
  double lower = std::numeric_limits<double>::quiet_NaN();
  double upper = std::numeric_limits<double>::quiet_NaN();
};

struct RestrictedMeanDifference {
  bool estimated = false;  // false unless both means are
  double estimate = std::numeric_limits<double>::quiet_NaN();
  double stdErr = std::numeric_limits<double>::quiet_NaN();
  double lower = std::numeric_limits<double>::quiet_NaN();
  double upper = std::numeric_limits<double>::quiet_NaN();
  double p = std::numeric_limits<double>::quiet_NaN();  // NaN where the variance is 0
};

// One group's counts over weeks 0 to its last week observed.
RestrictedMean EstimateRestrictedMean(const WeeklyCounts& counts, int tau);

// b - a, for means to the same tau.
RestrictedMeanDifference CompareRestrictedMeans(const RestrictedMean& a, const RestrictedMean& b);

}  // namespace orv
