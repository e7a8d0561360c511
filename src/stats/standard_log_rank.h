// The standard k-sample log-rank test of the shown groups over weeks 0 to the X range's last
// week, the test a paper names "log-rank" (Mantel 1966; R survival's survdiff, rho = 0).
//
// Per week with d > 0 deaths among n cases at risk, group g having n_g at risk and d_g deaths
// (the deaths of a week are one tied risk set):
//   U_g  += d_g - d n_g / n                                  (observed less expected)
//   V_gh += d (n - d) / (n - 1) x n_g (delta_gh - n_h / n) / n   (hypergeometric; none if n = 1)
// V has rank at most k - 1: as survdiff, the groups without expected deaths are left out and
// the first of the rest dropped, X = U' V^- U over the others, df = their number. V^- is the
// generalised inverse of a Cholesky factorisation that sets pivots below a relative 1.8e-12
// to zero (survival's cholesky2): the ordinary inverse whenever V is regular, where survdiff
// solves; a singular V (every case at risk dies in one week) counts only its rank in df.
// p = P(chi-square(df) > X), not cut (ChiSquareTail).
#pragma once

#include <limits>
#include <span>
#include <vector>

#include "survival/km_estimates.h"

namespace orv {

struct LogRankTest {
  // false with fewer than two groups with expected deaths, or without variance (R: chisq 0 on
  // df -1, or no answer)
  bool tested = false;
  double statistic = std::numeric_limits<double>::quiet_NaN();
  int df = 0;
  double p = std::numeric_limits<double>::quiet_NaN();
  int lastWeek = 0;
};

// One entry per shown group, each of its weeks 0..n-1 (n may differ between groups: beyond
// its own weeks a group has nobody at risk). Weeks after lastWeek do not count.
LogRankTest StandardLogRank(std::span<const WeeklyCounts> groups, int lastWeek);

// U, the expected deaths and V of k groups, summed week by week.
struct LogRankSums {
  explicit LogRankSums(std::size_t k) : observedLessExpected(k, 0), expected(k, 0), covariance(k * k, 0) {}
  std::vector<double> observedLessExpected, expected, covariance;
};

// Adds one week's table: per group those at risk and the deaths. A week without deaths or
// nobody at risk adds nothing.
void AddLogRankWeek(std::span<const double> atRisk, std::span<const double> deaths, LogRankSums& sums);

// The test from U, the expected deaths and V of k groups (V k * k, row-major), summed over
// any number of tables: the strata of a stratified test each add their own.
LogRankTest LogRankFromSums(std::span<const double> observedLessExpected, std::span<const double> expected,
                            std::span<const double> covariance, int lastWeek);

}  // namespace orv
