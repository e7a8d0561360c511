// The standard k-sample log-rank test: observed less expected deaths and their covariance.
#include "stats/standard_log_rank.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "stats/chi_square.h"

namespace orv {

namespace {

// survival's toler.chol: .Machine$double.eps^0.75.
constexpr double kPivotTolerance = 1.8189894035458617e-12;

double At(std::span<const double> column, std::size_t week) { return week < column.size() ? column[week] : 0; }

struct QuadraticForm {
  double value = 0;
  int rank = 0;
};

// u' A^- u for a symmetric non-negative definite m x m matrix (row-major, overwritten):
// A = L D L', and u' A^- u = sum over the kept pivots of (L^-1 u)_i^2 / D_i.
QuadraticForm GeneralisedQuadraticForm(std::vector<double>& a, std::vector<double>& u, std::size_t m) {
  double largest = 0;
  for (std::size_t i = 0; i < m; ++i) largest = std::max(largest, a[i * m + i]);
  const double eps = largest * kPivotTolerance;
  QuadraticForm form;
  for (std::size_t i = 0; i < m; ++i) {
    const double pivot = a[i * m + i];
    if (!(pivot > eps) || !(pivot > 0)) {
      a[i * m + i] = 0;
      continue;
    }
    ++form.rank;
    for (std::size_t j = i + 1; j < m; ++j) {
      const double l = a[j * m + i] / pivot;
      a[j * m + i] = l;
      a[j * m + j] -= l * l * pivot;
      for (std::size_t k = j + 1; k < m; ++k) a[k * m + j] -= l * a[k * m + i];
    }
  }
  // Forward substitution through L; a dropped pivot's column of L is never used.
  for (std::size_t i = 0; i < m; ++i) {
    if (a[i * m + i] == 0) continue;
    for (std::size_t j = i + 1; j < m; ++j) u[j] -= a[j * m + i] * u[i];
    form.value += u[i] * u[i] / a[i * m + i];
  }
  return form;
}

}  // namespace

LogRankTest StandardLogRank(std::span<const WeeklyCounts> groups, int lastWeek) {
  LogRankTest test;
  test.lastWeek = lastWeek;
  const std::size_t k = groups.size();
  if (k < 2 || lastWeek < 0) return test;
  std::size_t weeks = 0;
  for (const WeeklyCounts& g : groups) weeks = std::max(weeks, std::min(g.deaths.size(), g.atRisk.size()));
  weeks = std::min(weeks, static_cast<std::size_t>(lastWeek) + 1);

  LogRankSums sums(k);
  std::vector<double> atRisk(k), deaths(k);
  for (std::size_t w = 0; w < weeks; ++w) {
    for (std::size_t g = 0; g < k; ++g) {
      atRisk[g] = At(groups[g].atRisk, w);
      deaths[g] = At(groups[g].deaths, w);
    }
    AddLogRankWeek(atRisk, deaths, sums);
  }
  return LogRankFromSums(sums.observedLessExpected, sums.expected, sums.covariance, lastWeek);
}

void AddLogRankWeek(std::span<const double> atRisk, std::span<const double> deaths, LogRankSums& sums) {
  const std::size_t k = atRisk.size();
  double n = 0, d = 0;
  for (std::size_t g = 0; g < k; ++g) {
    n += atRisk[g];
    d += deaths[g];
  }
  if (!(d > 0) || !(n > 0)) return;
  for (std::size_t g = 0; g < k; ++g) {
    const double e = d * atRisk[g] / n;
    sums.expected[g] += e;
    sums.observedLessExpected[g] += deaths[g] - e;
  }
  if (n == 1) return;
  const double spread = d * (n - d) / (n * (n - 1));
  for (std::size_t g = 0; g < k; ++g) {
    if (atRisk[g] == 0) continue;
    const double term = spread * atRisk[g];
    sums.covariance[g * k + g] += term;
    for (std::size_t h = 0; h < k; ++h) sums.covariance[g * k + h] -= term * atRisk[h] / n;
  }
}

LogRankTest LogRankFromSums(std::span<const double> observedLessExpected, std::span<const double> expected,
                            std::span<const double> covariance, int lastWeek) {
  LogRankTest test;
  test.lastWeek = lastWeek;
  const std::size_t k = expected.size();
  std::vector<std::size_t> kept;
  for (std::size_t g = 0; g < k; ++g) {
    if (expected[g] > 0) kept.push_back(g);
  }
  if (kept.size() < 2) return test;
  const std::size_t m = kept.size() - 1;
  std::vector<double> v(m * m), u(m);
  for (std::size_t i = 0; i < m; ++i) {
    u[i] = observedLessExpected[kept[i + 1]];
    for (std::size_t j = 0; j < m; ++j) v[i * m + j] = covariance[kept[i + 1] * k + kept[j + 1]];
  }
  const QuadraticForm form = GeneralisedQuadraticForm(v, u, m);
  if (form.rank == 0) return test;
  test.tested = true;
  test.statistic = form.value;
  test.df = form.rank;
  test.p = ChiSquareTail(test.df, test.statistic);
  return test;
}

}  // namespace orv
