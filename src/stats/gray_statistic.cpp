// Gray's test of equal cumulative incidence, with cmprsk's variance under the null.
#include "stats/gray_statistic.h"

#include <algorithm>
#include <cmath>

#include "stats/chi_square.h"

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

void PrepareGrayColumns(const CauseCounts& counts, GrayColumns& out) {
  const std::size_t weeks = std::min({counts.atRisk.size(), counts.interest.size(), counts.competing.size()});
  out.hasCases = weeks > 0 && counts.atRisk[0] > 0;
  out.weeks.assign(weeks, GrayWeek{});
  double s = 1, f = 0;
  for (std::size_t w = 0; w < weeks; ++w) {
    GrayWeek& g = out.weeks[w];
    const double n = counts.atRisk[w];
    g.survivalBefore = s;
    if (!(n > 0)) continue;
    const double d1 = counts.interest[w];
    const double d2 = counts.competing[w];
    g.interest = d1;
    g.competing = d2;
    g.scaledRisk = n / s;
    g.survivalPerRisk = s / n;
    g.incidenceRisk = n * (1 - f) / s;
    const double after = s * (n - d1 - d2) / n;
    if (after > 0) {
      g.inverseAfter = 1 / after;
      if (d2 > 0) g.competingTerm = (d2 > 1 ? 1 - (d2 - 1) / (n - 1) : 1) * (s * s * d2) / (n * n);
    }
    f += s * d1 / n;
    s = after;
  }
}

GrayTest ComputeGrayTest(std::span<const GrayColumns* const> all, GrayScratch& scratch) {
  GrayTest result;
  scratch.groups.clear();
  std::size_t weeks = 0;
  for (const GrayColumns* g : all) {
    if (!g->hasCases) continue;
    weeks = scratch.groups.empty() ? g->weeks.size() : std::min(weeks, g->weeks.size());
    scratch.groups.push_back(g);
  }
  const int k = static_cast<int>(scratch.groups.size());
  if (k < 2) return result;
  const int k1 = k - 1;
  const auto ku = static_cast<std::size_t>(k);
  const auto k1u = static_cast<std::size_t>(k1);

  // The matrices c and a (k x k), the running terms v3 (k), v2 (k x k-1 in rows of k), v
  // (k-1 x k-1 in rows of k), the scores (k-1), and the week's t, D, E, F (k each), h, P, Q,
  // t E (k-1 each) and F c (k x k); at the end the k-1 x k-1 matrix of the test.
  scratch.values.assign(4 * ku * ku + k1u * ku + 5 * ku + 5 * k1u + k1u * k1u, 0);
  double* c = scratch.values.data();
  double* a = c + ku * ku;
  double* v3 = a + ku * ku;
  double* v2 = v3 + ku;
  double* v = v2 + ku * ku;
  double* s = v + k1u * ku;
  double* t = s + k1u;
  double* d = t + ku;
  double* e = d + ku;
  double* f2 = e + ku;
  double* h = f2 + ku;
  double* p = h + k1u;
  double* q = p + k1u;
  double* te = q + k1u;
  double* fc = te + k1u;  // F_m c_im, rows of k
  double* square = fc + ku * ku;

  double fm = 0;  // the pooled incidence before the week
  for (std::size_t w = 0; w < weeks; ++w) {
    double nd1 = 0, nd2 = 0;
    for (const GrayColumns* g : scratch.groups) {
      nd1 += g->weeks[w].interest;
      nd2 += g->weeks[w].competing;
    }
    if (!(nd1 > 0) && !(nd2 > 0)) continue;
    double tr = 0, tq = 0;
    for (int i = 0; i < k; ++i) {
      const GrayWeek& g = scratch.groups[static_cast<std::size_t>(i)]->weeks[w];
      t[i] = g.scaledRisk;
      tr += t[i];
      tq += g.incidenceRisk;
    }
    const double f = fm + nd1 / tr;
    // a = diag(t) - t t' / tr over the groups at risk (t is 0 for the others); c sums
    // a nd1 / (tr (1 - F)). Both are symmetric, so a column is read as a row.
    const double cWeight = nd1 / (tr * (1 - fm));
    for (int i = 0; i < k; ++i) {
      const double ti = t[i] / tr;
      double* ai = a + i * k;
      double* ci = c + i * k;
      for (int j = 0; j < k; ++j) {
        ai[j] = -ti * t[j];
        ci[j] += ai[j] * cWeight;
      }
      ai[i] += t[i];
      ci[i] += t[i] * cWeight;
    }
    for (int i = 0; i < k1; ++i) {
      const GrayWeek& g = scratch.groups[static_cast<std::size_t>(i)]->weeks[w];
      s[i] += g.interest - nd1 * g.incidenceRisk / tq;
    }
    // The week adds to v the sum over m of t3_m r_m r_m' over the rows r_m = a_m - t4_m c_m
    // of the deaths of interest and t4_m c_m of the competing deaths (columns m of a and c
    // cut to the first k-1 groups). Expanded with D = t3, E = t3 t4 and F = t3 t4^2 of both
    // kinds, the parts in a are sums of k terms, since a is diag(t) - t t' / tr; only c F c'
    // costs k^3, half of what the rows one by one would.
    const double oneMinusF = 1 - f;
    double sumDt2 = 0;
    std::fill(h, h + k1, 0.0);
    for (int m = 0; m < k; ++m) {
      const GrayWeek& g = scratch.groups[static_cast<std::size_t>(m)]->weeks[w];
      const double* am = a + m * k;
      const double* cm = c + m * k;
      double* v2m = v2 + m * k;
      d[m] = e[m] = f2[m] = 0;
      if (nd1 > 0 && t[m] > 0) {
        const double t4 = 1 - oneMinusF * g.inverseAfter;
        const double t5 = nd1 > 1 ? 1 - (nd1 - 1) / (tr * g.survivalBefore - 1) : 1;
        const double t3 = t5 * nd1 / (tr * t[m]);
        v3[m] += t4 * t4 * t3;
        for (int i = 0; i < k1; ++i) v2m[i] += (am[i] - t4 * cm[i]) * t4 * t3;
        d[m] = t3;
        e[m] = t3 * t4;
        f2[m] = t3 * t4 * t4;
        sumDt2 += t3 * t[m] * t[m];
        const double et = e[m] * t[m];
        for (int j = 0; j < k1; ++j) h[j] += et * cm[j];
      }
      if (nd2 > 0 && g.competingTerm > 0) {
        const double t4 = oneMinusF * g.inverseAfter;
        const double t3 = g.competingTerm;
        v3[m] += t4 * t4 * t3;
        for (int i = 0; i < k1; ++i) v2m[i] -= t4 * cm[i] * t4 * t3;
        f2[m] += t3 * t4 * t4;
      }
    }
    // v_ij += (F c_i) . c_j + t_i P_j + t_j Q_i - (t_i E_i + t_j E_j) c_ij, the parts in a
    // gathered per group: P = t sum(D t^2) / tr^2 - D t^2 / tr + h / tr, Q = (h - D t^2) / tr;
    // c is symmetric, so both factors of the dot product are rows.
    const double inverseTr = 1 / tr;
    const double shared = sumDt2 * inverseTr * inverseTr;
    for (int i = 0; i < k1; ++i) {
      const double own = (h[i] - d[i] * t[i] * t[i]) * inverseTr;
      p[i] = t[i] * shared + own;
      q[i] = own;
      te[i] = t[i] * e[i];
      const double* ci = c + i * k;
      double* fci = fc + i * k;
      for (int m = 0; m < k; ++m) fci[m] = f2[m] * ci[m];
    }
    for (int i = 0; i < k1; ++i) {
      const double* fci = fc + i * k;
      const double* ci = c + i * k;
      double* vi = v + i * k;
      for (int j = 0; j <= i; ++j) {
        const double* cj = c + j * k;
        double lanes[4] = {};
        int m = 0;
        for (; m + 4 <= k; m += 4) {
          for (int l = 0; l < 4; ++l) lanes[l] += fci[m + l] * cj[m + l];
        }
        for (; m < k; ++m) lanes[0] += fci[m] * cj[m];
        vi[j] += ((lanes[0] + lanes[1]) + (lanes[2] + lanes[3])) + t[i] * p[j] + t[j] * q[i] - (te[i] + te[j]) * ci[j];
      }
      vi[i] += d[i] * t[i] * t[i];
    }
    fm = f;
  }
  for (int i = 0; i < k1; ++i) {
    for (int j = 0; j <= i; ++j) {
      double sum = v[i * k + j];
      for (int m = 0; m < k; ++m) {
        const double cim = c[m * k + i], cjm = c[m * k + j];
        sum += cim * cjm * v3[m] + cim * v2[m * k + j] + cjm * v2[m * k + i];
      }
      square[i * k1 + j] = square[j * k1 + i] = sum;
    }
  }
  double statistic = 0;
  if (!QuadraticForm(square, s, k1, statistic)) return result;
  result.tested = true;
  result.statistic = statistic;
  result.df = k1;
  result.p = ChiSquareTail(k1, statistic);
  return result;
}

GrayTest ComputePairGrayTest(const GrayColumns& a, const GrayColumns& b) {
  GrayTest result;
  if (!a.hasCases || !b.hasCases) return result;
  const std::size_t weeks = std::min(a.weeks.size(), b.weeks.size());
  // c = gamma [1 -1; -1 1]; v2 and v3 per group, v2 signed by the group's side.
  double gamma = 0, v3a = 0, v3b = 0, v2a = 0, v2b = 0, v = 0, score = 0;
  double fm = 0;
  for (std::size_t w = 0; w < weeks; ++w) {
    const GrayWeek& ga = a.weeks[w];
    const GrayWeek& gb = b.weeks[w];
    const double d1a = ga.interest, d1b = gb.interest;
    const double d2a = ga.competing, d2b = gb.competing;
    const double nd1 = d1a + d1b, nd2 = d2a + d2b;
    if (!(nd1 > 0) && !(nd2 > 0)) continue;
    const double ta = ga.scaledRisk, tb = gb.scaledRisk;
    const double tr = ta + tb;
    const double tq = ga.incidenceRisk + gb.incidenceRisk;
    // Division is the slow step: one gives both reciprocals of the week's own sums, and
    // only the one of 1 - F waits for the week before, so that weeks overlap.
    const double inverse = 1 / (tr * tq);
    const double inverseTr = tq * inverse;
    const double f = fm + nd1 * inverseTr;
    const double e = ta * tb * inverseTr;  // a = e [1 -1; -1 1]
    gamma += e * nd1 * inverseTr / (1 - fm);
    score += d1a - nd1 * ga.incidenceRisk * (tr * inverse);
    const double oneMinusF = 1 - f;
    if (nd1 > 0) {
      // 1 - (nd1 - 1) / (tr S - 1) per group at risk, again from one division.
      double t5a = 1, t5b = 1;
      if (nd1 > 1) {
        const double xa = ta > 0 ? tr * ga.survivalBefore - 1 : 1;
        const double xb = tb > 0 ? tr * gb.survivalBefore - 1 : 1;
        const double both = (nd1 - 1) / (xa * xb);
        t5a = 1 - xb * both;
        t5b = 1 - xa * both;
      }
      if (ta > 0) {
        const double t4 = 1 - oneMinusF * ga.inverseAfter;
        const double t3 = t5a * nd1 * inverseTr * ga.survivalPerRisk;
        const double row = e - t4 * gamma;
        v3a += t4 * t4 * t3;
        v2a += row * t4 * t3;
        v += t3 * row * row;
      }
      if (tb > 0) {
        const double t4 = 1 - oneMinusF * gb.inverseAfter;
        const double t3 = t5b * nd1 * inverseTr * gb.survivalPerRisk;
        const double row = e - t4 * gamma;
        v3b += t4 * t4 * t3;
        v2b += row * t4 * t3;
        v += t3 * row * row;
      }
    }
    if (nd2 > 0) {
      const double ca = ga.competingTerm, cb = gb.competingTerm;
      const double t4a = oneMinusF * ga.inverseAfter, t4b = oneMinusF * gb.inverseAfter;
      const double ta3 = t4a * t4a * ca, tb3 = t4b * t4b * cb;
      v3a += ta3;
      v3b += tb3;
      v2a -= gamma * ta3;
      v2b -= gamma * tb3;
      v += gamma * gamma * (ta3 + tb3);
    }
    fm = f;
  }
  v += gamma * gamma * (v3a + v3b) + 2 * gamma * (v2a + v2b);
  // A 1 x 1 matrix is singular for R's qr only where it is 0.
  if (!(std::abs(v) > 0)) return result;
  result.tested = true;
  result.statistic = score * score / v;
  result.df = 1;
  result.p = ChiSquareTail(1, result.statistic);
  return result;
}

}  // namespace orv
