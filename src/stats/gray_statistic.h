// Gray's test (rho = 0) of equal cumulative incidence of the deaths of interest across
// groups, the deaths of the other causes competing (Gray 1988, Ann. Statist. 16:1141-54).
//
// In week w group k has n_k cases at risk, d1_k deaths of interest and d2_k competing deaths;
// S_k is its all-cause Kaplan-Meier just before the week and S'_k just after it, F_k its
// cumulative incidence of the deaths of interest just before the week. Per week:
//   t_k = n_k / S_k (0 where n_k = 0),   T = sum_k t_k,   D1 = sum_k d1_k,
//   R_k = n_k (1 - F_k) / S_k, the risk set of the incidence's own (subdistribution) hazard,
//   F the pooled incidence before the week (sum over the weeks before of D1 / T), F' = F + D1 / T.
// The score of group k sums its deaths of interest less their share of the week's:
//   z_k = sum over weeks of  d1_k - D1 R_k / sum_j R_j.
// Its variance under the null, as cmprsk's cuminc estimates it: with the week's K x K matrices
//   a = diag(t) - t t' / T,   c = a D1 / (T (1 - F)),
// L the sum of c over the weeks after this one, and for each group m at risk
//   delta_m = theta_m D1 / (T t_m),  theta_m = 1 - (D1 - 1) / (T S_m - 1)   (1 where D1 = 1),
//   nu_m    = 1 - (1 - F') / S'_m                                          (1 where S'_m = 0),
//   kappa_m = rho_m d2_m S_m^2 / n_m^2,  rho_m = 1 - (d2_m - 1) / (n_m - 1)  (1 where d2_m = 1;
//             kappa_m = 0 where S'_m = 0),   tau_m = (1 - F') / S'_m,
//   V = sum over weeks, sum over m of
//         delta_m (a_m + nu_m L_m)(a_m + nu_m L_m)' + kappa_m tau_m^2 L_m L_m',
// a_m and L_m the rows m of a and L. theta and rho are cmprsk's conventions for a week of
// several events of one kind, which a plain plug-in misses by up to 3 %.
// The statistic z' V^-1 z, z and V cut to the first K - 1 groups, is chi-square with K - 1
// degrees of freedom. Where V is singular (no death of interest in the compared groups, say;
// rank as R's qr decides it, tolerance 1e-7) there is no test.
#pragma once

#include <span>
#include <vector>

#include "stats/cause_counts.h"

namespace orv {

struct GrayTest {
  bool tested = false;  // false: fewer than two groups with cases, or V singular
  double statistic = 0;
  int df = 0;
  double p = 1;
};

// One group's own figures in one week, the same in every test the group enters; one cache
// line, so that a pair's loop streams through two arrays.
struct GrayWeek {
  double deathsOfInterest = 0;      // d1
  double competingDeaths = 0;       // d2
  double scaledAtRisk = 0;          // t = n / S; 0 where n = 0
  double incidenceRisk = 0;         // R = n (1 - F) / S
  double survivalBefore = 1;        // S
  double survivalPerAtRisk = 0;     // S / n = 1 / t; 0 where n = 0
  double inverseSurvivalAfter = 0;  // 1 / S'; 0 where S' = 0
  double competingWeight = 0;       // kappa = rho d2 S^2 / n^2; 0 where d2 = 0 or S' = 0
};

// Prepared once per analysis run instead of once per pair.
struct GrayColumns {
  bool hasCases = false;  // anyone at risk in week 0
  std::vector<GrayWeek> weeks;
};

// From one group's counts over weeks 0..lastWeek, the same weeks for every group of a test
// (the caller cuts them to the range; a case followed beyond it is then at risk in its last
// week and censored after it, which for this test is the same as censored in it).
void PrepareGrayColumns(const CauseCounts& counts, GrayColumns& out);

// Room for the running matrices of one test, kept by the caller so that a run over many
// tests allocates once. After a test of K >= 2 groups with cases it holds z and V over the
// first K - 1 of them (V row-major), whether V is singular or not.
struct GrayScratch {
  std::vector<double> values;
  std::vector<const GrayColumns*> groups;
  std::vector<double> score;
  std::vector<double> variance;
};

// Any number of groups, p from ChiSquareTail (stats/chi_square.h). Groups without cases
// (none at risk in week 0) are left out, as cuminc leaves out empty groups; df counts the
// others.
GrayTest ComputeGrayTest(std::span<const GrayColumns* const> groups, GrayScratch& scratch);

// Two groups, by the same sums: with two groups a and c are multiples of [1 -1; -1 1], which
// leaves a few scalars per week.
GrayTest ComputePairGrayTest(const GrayColumns& a, const GrayColumns& b);

}  // namespace orv
