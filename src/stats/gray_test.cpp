// Gray's test of equal cumulative incidence, with cmprsk's variance under the null.
#include "stats/gray_test.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orv {

namespace {

// Column norms below this share of the column's first norm make a matrix singular, as in
// R's qr (LINPACK dqrdc2), which cuminc uses to decide whether to test.
constexpr double kRankTolerance = 1e-7;

// z' V^-1 z by Householder QR of the symmetric p x p matrix V (row-major), which it
// overwrites; false where a column falls below the rank tolerance. Without pivoting: any
// column that R would move aside makes the rank short, and then there is no statistic.
bool QuadraticForm(double* v, double* z, int p, double& result) {
  const auto at = [p](int row, int col) { return static_cast<std::size_t>(row * p + col); };
  std::vector<double> firstNorm(static_cast<std::size_t>(p));
  for (int j = 0; j < p; ++j) {
    double sum = 0;
    for (int i = 0; i < p; ++i) sum += v[at(i, j)] * v[at(i, j)];
    firstNorm[static_cast<std::size_t>(j)] = sum > 0 ? std::sqrt(sum) : 1;
  }
  std::vector<double> original(z, z + p);
  for (int l = 0; l < p; ++l) {
    double sum = 0;
    for (int i = l; i < p; ++i) sum += v[at(i, l)] * v[at(i, l)];
    const double norm = std::sqrt(sum);
    if (!(norm >= kRankTolerance * firstNorm[static_cast<std::size_t>(l)])) return false;
    // Reflect rows l..p-1 so that column l becomes (alpha, 0, ..., 0).
    const double alpha = v[at(l, l)] > 0 ? -norm : norm;
    v[at(l, l)] -= alpha;
    const double scale = -v[at(l, l)] * alpha;  // u'u / 2 for u the column below the diagonal
    for (int j = l + 1; j < p; ++j) {
      double dot = 0;
      for (int i = l; i < p; ++i) dot += v[at(i, l)] * v[at(i, j)];
      const double factor = dot / scale;
      for (int i = l; i < p; ++i) v[at(i, j)] -= factor * v[at(i, l)];
    }
    double dot = 0;
    for (int i = l; i < p; ++i) dot += v[at(i, l)] * z[i];
    const double factor = dot / scale;
    for (int i = l; i < p; ++i) z[i] -= factor * v[at(i, l)];
    v[at(l, l)] = alpha;
  }
  // R x = Q'z, then z'x.
  for (int i = p - 1; i >= 0; --i) {
    double sum = z[i];
    for (int j = i + 1; j < p; ++j) sum -= v[at(i, j)] * z[j];
    z[i] = sum / v[at(i, i)];
  }
  result = 0;
  for (int i = 0; i < p; ++i) result += original[static_cast<std::size_t>(i)] * z[i];
  return true;
}

}  // namespace

double ChiSquareTail(int df, double x) {
  if (std::isnan(x)) return 1;
  if (!(x > 0)) return 1;
  if (std::isinf(x)) return 0;
  const double h = x / 2;
  const double logH = std::log(h);
  double tail = 0;
  double logTerm = -h;  // log of the first term of the finite sum
  int terms = df / 2;
  if (df % 2 == 0) {
    for (int j = 0; j < terms; ++j) {
      tail += std::exp(logTerm);
      logTerm += logH - std::log(j + 1.0);
    }
  } else {
    tail = std::erfc(std::sqrt(h));
    logTerm += 0.5 * logH + std::log(2 * std::numbers::inv_sqrtpi);  // 1 / Gamma(3/2) = 2 / sqrt(pi)
    for (int j = 0; j < terms; ++j) {
      tail += std::exp(logTerm);
      logTerm += logH - std::log(j + 1.5);
    }
  }
  return std::min(tail, 1.0);
}

GrayTest ComputeGrayTest(std::span<const CauseCounts> all, GrayScratch& scratch) {
  GrayTest result;
  scratch.groups.clear();
  std::size_t weeks = 0;
  for (const CauseCounts& g : all) {
    if (g.atRisk.empty() || !(g.atRisk[0] > 0)) continue;
    const std::size_t own = std::min({g.atRisk.size(), g.interest.size(), g.competing.size()});
    weeks = scratch.groups.empty() ? own : std::min(weeks, own);
    scratch.groups.push_back(&g);
  }
  const int k = static_cast<int>(scratch.groups.size());
  if (k < 2) return result;
  const int k1 = k - 1;
  const auto ku = static_cast<std::size_t>(k);
  const auto k1u = static_cast<std::size_t>(k1);

  // Per group: F_k and S_k before the week, their values after it, n_k / S_k; the matrices
  // c (k x k), the running terms v3 (k), v2 (k-1 x k), v (k-1 x k-1), the scores and a row of
  // a - t4 c for the week.
  scratch.values.assign(6 * ku + 2 * ku * ku + 2 * k1u * ku + k1u, 0);
  double* f1m = scratch.values.data();
  double* skmm = f1m + ku;
  double* f1 = skmm + ku;
  double* skm = f1 + ku;
  double* t = skm + ku;
  double* v3 = t + ku;
  double* c = v3 + ku;
  double* a = c + ku * ku;
  double* v2 = a + ku * ku;
  double* v = v2 + k1u * ku;
  double* s = v + k1u * ku;  // v uses k1 x k1 of its k1 x k room
  std::fill(skmm, skmm + ku, 1.0);
  std::fill(skm, skm + ku, 1.0);
  std::vector<double> row(ku);

  double fm = 0;  // the pooled incidence before the week
  for (std::size_t w = 0; w < weeks; ++w) {
    double nd1 = 0, nd2 = 0;
    for (int i = 0; i < k; ++i) {
      nd1 += scratch.groups[static_cast<std::size_t>(i)]->interest[w];
      nd2 += scratch.groups[static_cast<std::size_t>(i)]->competing[w];
    }
    if (!(nd1 > 0) && !(nd2 > 0)) continue;
    double tr = 0, tq = 0;
    for (int i = 0; i < k; ++i) {
      const CauseCounts& g = *scratch.groups[static_cast<std::size_t>(i)];
      const double rs = g.atRisk[w];
      t[i] = 0;
      if (!(rs > 0)) continue;
      skm[i] = skmm[i] * (rs - g.interest[w] - g.competing[w]) / rs;
      f1[i] = f1m[i] + skmm[i] * g.interest[w] / rs;
      t[i] = rs / skmm[i];
      tr += t[i];
      tq += rs * (1 - f1m[i]) / skmm[i];
    }
    const double f = fm + nd1 / tr;
    // a = diag(t) - t t' / tr over the groups at risk; c sums a nd1 / (tr (1 - F)).
    const double cWeight = nd1 / (tr * (1 - fm));
    for (int i = 0; i < k; ++i) {
      for (int j = 0; j < k; ++j) {
        const double aij = (i == j ? t[i] : 0) - t[i] * t[j] / tr;
        a[i * k + j] = aij;
        c[i * k + j] += aij * cWeight;
      }
    }
    for (int i = 0; i < k1; ++i) {
      const CauseCounts& g = *scratch.groups[static_cast<std::size_t>(i)];
      const double rs = g.atRisk[w];
      if (rs > 0) s[i] += g.interest[w] - nd1 * rs * (1 - f1m[i]) / (skmm[i] * tq);
    }
    if (nd1 > 0) {
      for (int m = 0; m < k; ++m) {
        const double rs = scratch.groups[static_cast<std::size_t>(m)]->atRisk[w];
        if (!(rs > 0)) continue;
        const double t4 = skm[m] > 0 ? 1 - (1 - f) / skm[m] : 1;
        const double t5 = nd1 > 1 ? 1 - (nd1 - 1) / (tr * skmm[m] - 1) : 1;
        const double t3 = t5 * skmm[m] * nd1 / (tr * rs);
        v3[m] += t4 * t4 * t3;
        for (int i = 0; i < k1; ++i) row[i] = a[i * k + m] - t4 * c[i * k + m];
        for (int i = 0; i < k1; ++i) {
          v2[i * k + m] += row[i] * t4 * t3;
          const double scaled = row[i] * t3;
          for (int j = 0; j <= i; ++j) v[i * k + j] += scaled * row[j];
        }
      }
    }
    if (nd2 > 0) {
      for (int m = 0; m < k; ++m) {
        const CauseCounts& g = *scratch.groups[static_cast<std::size_t>(m)];
        const double d2 = g.competing[w];
        if (!(skm[m] > 0) || !(d2 > 0)) continue;
        const double rs = g.atRisk[w];
        const double t4 = (1 - f) / skm[m];
        const double t5 = d2 > 1 ? 1 - (d2 - 1) / (rs - 1) : 1;
        const double t3 = t5 * skmm[m] * skmm[m] * d2 / (rs * rs);
        v3[m] += t4 * t4 * t3;
        for (int i = 0; i < k1; ++i) row[i] = t4 * c[i * k + m];
        for (int i = 0; i < k1; ++i) {
          v2[i * k + m] -= row[i] * t4 * t3;
          const double scaled = row[i] * t3;
          for (int j = 0; j <= i; ++j) v[i * k + j] += scaled * row[j];
        }
      }
    }
    fm = f;
    std::copy(f1, f1 + k, f1m);
    std::copy(skm, skm + k, skmm);
  }
  for (int i = 0; i < k1; ++i) {
    for (int j = 0; j <= i; ++j) {
      double sum = v[i * k + j];
      for (int m = 0; m < k; ++m) {
        sum += c[i * k + m] * c[j * k + m] * v3[m] + c[i * k + m] * v2[j * k + m] + c[j * k + m] * v2[i * k + m];
      }
      v[i * k + j] = sum;
    }
  }
  // Square k1 x k1, row-major, for the solve.
  std::vector<double> square(k1u * k1u);
  for (int i = 0; i < k1; ++i) {
    for (int j = 0; j <= i; ++j) square[static_cast<std::size_t>(i * k1 + j)] = square[static_cast<std::size_t>(j * k1 + i)] = v[i * k + j];
  }
  double statistic = 0;
  if (!QuadraticForm(square.data(), s, k1, statistic)) return result;
  result.tested = true;
  result.statistic = statistic;
  result.df = k1;
  result.p = ChiSquareTail(k1, statistic);
  return result;
}

}  // namespace orv
