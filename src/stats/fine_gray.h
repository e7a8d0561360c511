// The Fine-Gray subdistribution hazard ratio of one group relative to another (Fine and Gray
// 1999, JASA 94:496-509): a proportional-hazards model of the cumulative incidence of the
// deaths of interest with the group as its only covariate (x = 1 for group b).
//
// G is the Kaplan-Meier estimate of the censoring distribution over both groups, G_v its
// value before week v (a censored case leaves after the week's deaths), G_0 = 1 even where
// week 0 has censored cases. (crr reads its estimate at time 0 after time 0's censorings,
// which would weigh a week-0 competing death as if they had left before it; the R reference
// counts weeks from 1 to compare like with like.) A case stays in the
// risk set of week t while followed; after a competing death in week v < t it stays with
// weight G_t / G_v. Per week t of deaths of interest, with A_t and B_t the weighted risk sets
// of a and b, r = e^beta, p_t = B_t r / (A_t + B_t r), ties as one risk set (Breslow):
//   U(beta) = sum over t of [ d1b_t - d1_t p_t ],   I(beta) = sum d1_t p_t (1 - p_t).
// The root of U is found by Newton steps of at most 4, kept inside the bracket that the
// signs of U have set so far (bisecting where a step leaves it).
// Robust (sandwich) variance I^-2 sum over cases of (eta_i + psi_i)^2, eta the case's
// score residual and psi the part owed to estimating G (Fine and Gray's variance), with
// cmprsk's crr (routine crrvv) conventions: a censored case of week u adds
// q(u) / n_u and every case at risk in week u takes - c_u q(u) / n_u^2, where q(u) sums the
// weighted residuals of the competing deaths before week u over the deaths of interest from
// week u on - so a competing death in the week of a censoring is not yet among them.
// U falls in beta from U(-inf) = sum of d1b_t over weeks with A_t > 0 to U(+inf) = -sum of
// d1a_t over weeks with B_t > 0: a finite root exists exactly when some death of interest of
// b meets a risk set of a of positive weight and some death of interest of a one of b.
// Otherwise there is no estimate, whatever a solver would report.
#pragma once

#include <vector>

#include "stats/cause_counts.h"

namespace orv {

struct SubHazardRatio {
  bool estimated = false;  // false: the estimating equation has no finite root
  double beta = 0;
  double se = 0;     // robust
  double hr = 0;     // exp(beta)
  double lower = 0;  // exp(beta -/+ z se); NaN with se 0 (no residual at all)
  double upper = 0;
  double p = 1;      // Wald test, two-sided; NaN with se 0
};

// Per-week room of one pair, kept by the caller so that a run over many pairs allocates once.
struct FineGrayScratch {
  std::vector<double> values;
};

// Group b relative to group a over weeks 0..n-1, the caller cutting both to the range: every
// case still at risk after the deaths of the last week is censored in it, whatever its
// censored count says.
SubHazardRatio EstimateSubHazardRatio(const CauseCounts& a, const CauseCounts& b, FineGrayScratch& scratch);

}  // namespace orv
