// The hazard ratio of one group relative to another: a Cox proportional-hazards model on
// the two groups' cases with the group as its only covariate (x = 1 for group b), Efron's
// method for deaths of the same week.
//
// A week of d = d_a + d_b deaths among n_a + n_b cases at risk has d terms; term j = 0..d-1
// takes away the share f = j / d of the week's deaths from the risk set:
//   A_j = n_a - f d_a,   B_j = (n_b - f d_b) e^beta,   m_j = B_j / (A_j + B_j).
// With the sums over the weeks:
//   log partial likelihood  l(beta) = sum [ beta d_b - sum_j log(A_j + B_j) ]
//   score                   U(beta) = dl/dbeta    = sum [ d_b - sum_j m_j ]
//   information             I(beta) = -d2l/dbeta2 = sum sum_j m_j (1 - m_j)
// l is concave (I >= 0). Newton-Raphson from beta = 0, beta += U / I, until l changes by
// less than 1e-9 relative; each step is at most 4 in beta, and a step that lowers l or lands
// where I rounds to 0 (e^beta so far off that every m_j is 0 or 1 in a double) is halved.
// se = 1 / sqrt(I) at the maximum.
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

// l, U and I at one beta.
struct CoxLikelihood {
  double logLik = 0;
  double score = 0;
  double information = 0;
};

// Group b relative to group a over weeks 0..n-1 (the caller cuts the weeks to the range).
// Deaths and numbers at risk per week, whole numbers, deaths <= at risk.
HazardRatio EstimateHazardRatio(std::span<const double> deathsA, std::span<const double> atRiskA,
                                std::span<const double> deathsB, std::span<const double> atRiskB,
                                CoxScratch& scratch);

// l, U and I of the same pair at beta, evaluated as each step of the estimate evaluates them.
CoxLikelihood EvaluateCoxLikelihood(double beta, std::span<const double> deathsA, std::span<const double> atRiskA,
                                    std::span<const double> deathsB, std::span<const double> atRiskB,
                                    CoxScratch& scratch);

}  // namespace orv
