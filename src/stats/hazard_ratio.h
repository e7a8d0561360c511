// The hazard ratio of one group relative to another: a Cox proportional-hazards model on
// the two groups' cases with the group as its only covariate (x = 1 for group b), Efron's
// method for deaths of the same week.
//
// Log partial likelihood per week with d = d_a + d_b deaths, risk sums S0 = n_a + n_b e^beta
// and death sums D0 = d_a + d_b e^beta:
//   l = sum over weeks [ beta d_b - sum_{j<d} log(S0 - (j/d) D0) ].
// Newton-Raphson from beta = 0 until l changes by less than 1e-9 relative (at most 30
// steps, a step that lowers l is halved); se from the observed information at the maximum.
//
// The maximum is finite exactly when some death of a falls in a week where b has cases at
// risk and some death of b in a week where a has cases at risk; otherwise l rises without
// bound and there is no estimate.
#pragma once

#include <span>
#include <vector>

namespace orv {

struct HazardRatio {
  bool estimated = false;  // false: the likelihood has no finite maximum
  double beta = 0;
  double se = 0;
  double hr = 0;     // exp(beta)
  double lower = 0;  // exp(beta -/+ z se)
  double upper = 0;
  double p = 1;      // Wald test, two-sided
};

// Room for the Efron terms of one pair, kept by the caller so that a run over many pairs
// allocates once.
struct CoxScratch {
  std::vector<double> a;  // per term: the risk set less the week's share of its deaths, group a
  std::vector<double> b;  // the same of group b, to be weighted by e^beta
};

// Group b relative to group a over weeks 0..n-1 (the caller cuts the weeks to the range).
// Deaths and numbers at risk per week, whole numbers, deaths <= at risk.
HazardRatio EstimateHazardRatio(std::span<const double> deathsA, std::span<const double> atRiskA,
                                std::span<const double> deathsB, std::span<const double> atRiskB,
                                CoxScratch& scratch);

}  // namespace orv
