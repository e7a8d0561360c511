// The Fine-Gray subdistribution hazard ratio of one group relative to another (Fine and Gray
// 1999, JASA 94:496-509): a proportional-hazards model of the cumulative incidence of the
// deaths of interest with the group as its only covariate (x = 0 for group a, 1 for b).
//
// G is the Kaplan-Meier estimate of the censoring distribution over both groups, G_v its
// value before week v (a censored case leaves after the week's deaths), G_0 = 1 even where
// week 0 has censored cases. (crr reads its estimate at time 0 after time 0's censorings,
// which would weigh a week-0 competing death as if they had left before it; the R reference
// counts weeks from 1 to compare like with like.) Case i, of group x_i, leaves in week T_i
// (its death of interest, its competing death or its censoring; the last week of the range
// censors every case still at risk after its deaths). Its weight in the risk set of week t is
//   w_i(t) = 1 while followed (t <= T_i), G_t / G_T_i after a competing death (t > T_i), else 0.
// Per week t with d1_t = d1a_t + d1b_t deaths of interest, A_t and B_t the summed weights of
// a and b, r = e^beta, the week's ties one risk set (Breslow):
//   p_t = B_t r / (A_t + B_t r),   lambda_t = d1_t / (A_t + B_t r)  (the baseline hazard's step),
//   score        U(beta) = sum over t of  d1b_t - d1_t p_t,
//   information  I(beta) = sum over t of  d1_t p_t (1 - p_t).
// The root of U is found by Newton steps of at most 4, kept inside the bracket that the
// signs of U have set so far (bisecting where a step leaves it).
// Its robust (sandwich) variance is I^-2 sum over cases of (eta_i + psi_i)^2 (Fine and Gray's
// variance, with the conventions of cmprsk's crr, routine crrvv): eta_i the case's score
// residual, psi_i the part owed to estimating G,
//   eta_i = [i died of interest] (x_i - p_T_i) - sum over t of w_i(t) r^x_i lambda_t (x_i - p_t),
//   psi_i = sum over weeks u <= T_i of q(u) / n_u ([i censored in u] - c_u / n_u),
//   q(u)  = sum over the competing deaths j before week u, and over t >= u, of
//           (G_t / G_T_j) r^x_j lambda_t (x_j - p_t),
// n_u the cases at risk and c_u those censored in week u, both groups; so a competing death
// in the week of a censoring is not yet among those of q.
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

// U, I and the sum of squares of the sandwich at one beta.
struct FineGraySums {
  double score = 0;
  double information = 0;
  double sandwich = 0;  // sum over cases of (eta_i + psi_i)^2
};

// Group b relative to group a over weeks 0..n-1, the caller cutting both to the range: every
// case still at risk after the deaths of the last week is censored in it, whatever its
// censored count says.
SubHazardRatio EstimateSubHazardRatio(const CauseCounts& a, const CauseCounts& b, FineGrayScratch& scratch);

// The sums of the same pair at beta, evaluated as the estimate evaluates them.
FineGraySums EvaluateFineGray(double beta, const CauseCounts& a, const CauseCounts& b, FineGrayScratch& scratch);

}  // namespace orv
