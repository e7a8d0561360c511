// Gray's test (rho = 0) of equal cumulative incidence of the deaths of interest across
// groups, the deaths of the other causes competing (Gray 1988, Ann. Statist. 16:1141-54).
//
// Per group k with n_k at risk, S_k its all-cause Kaplan-Meier and F_k its cumulative
// incidence just before the week, R_k = n_k (1 - F_k) / S_k; d1 the week's deaths of
// interest over all groups. The score of group k: z_k = sum over weeks of
// d1_k - d1 R_k / sum_j R_j. The statistic z' V^-1 z over the first K - 1 groups is
// chi-square with K - 1 degrees of freedom.
// V is the estimate of cmprsk's cuminc (its routine crstm) under the null, with its
// conventions for weeks of several events, which a plain plug-in misses by up to 3 %: a
// week's d1 > 1 deaths of interest scale group k's term by 1 - (d1 - 1) / (S_k t - 1),
// t = sum_j n_j / S_j, and group k's d2_k > 1 competing deaths by 1 - (d2_k - 1) / (n_k - 1).
// Where V is singular (no death of interest in the compared groups, say; rank as R's qr
// decides it, tolerance 1e-7) there is no test.
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
  double interest = 0;        // d1
  double competing = 0;       // d2
  double scaledRisk = 0;      // t = n / S, S the group's Kaplan-Meier before the week; 0 where n = 0
  double incidenceRisk = 0;   // n (1 - F) / S, F the group's incidence before the week
  double survivalBefore = 1;  // S
  double survivalPerRisk = 0;  // S / n, 0 where n = 0
  double inverseAfter = 0;    // 1 / S after the week, 0 where that S is 0
  double competingTerm = 0;   // (1 - (d2 - 1) / (n - 1)) S^2 d2 / n^2, 0 where d2 = 0 or S after is 0
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
// tests allocates once.
struct GrayScratch {
  std::vector<double> values;
  std::vector<const GrayColumns*> groups;
};

// Any number of groups, p from ChiSquareTail (stats/chi_square.h). Groups without cases
// (none at risk in week 0) are left out, as cuminc leaves out empty groups; df counts the
// others.
GrayTest ComputeGrayTest(std::span<const GrayColumns* const> groups, GrayScratch& scratch);

// Two groups, by the same sums: with two groups the matrices of the week are multiples of
// [1 -1; -1 1], which leaves a few scalars per week.
GrayTest ComputePairGrayTest(const GrayColumns& a, const GrayColumns& b);

}  // namespace orv
