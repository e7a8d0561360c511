// Gray's test of equal cumulative incidence, with cmprsk's variance under the null.
#include "stats/gray_statistic.h"

#include <algorithm>
#include <cmath>
#include <utility>

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
  double survival = 1, incidence = 0;  // S and F before the week
  for (std::size_t w = 0; w < weeks; ++w) {
    GrayWeek& g = out.weeks[w];
    const double n = counts.atRisk[w];
    g.survivalBefore = survival;
    if (!(n > 0)) continue;
    const double d1 = counts.interest[w];
    const double d2 = counts.competing[w];
    g.deathsOfInterest = d1;
    g.competingDeaths = d2;
    g.scaledAtRisk = n / survival;
    g.survivalPerAtRisk = survival / n;
    g.incidenceRisk = n * (1 - incidence) / survival;
    const double after = survival * (n - d1 - d2) / n;
    if (after > 0) {
      g.inverseSurvivalAfter = 1 / after;
      const double rho = d2 > 1 ? 1 - (d2 - 1) / (n - 1) : 1;
      if (d2 > 0) g.competingWeight = rho * (survival * survival * d2) / (n * n);
    }
    incidence += survival * d1 / n;
    survival = after;
  }
}

namespace {

// The running sums of one test of K groups, carved out of the scratch's values. L is known
// only at the end: with C the sum of c over the weeks so far (this one included) and C_end
// over all, L = C_end - C, and a group's term of the week,
//   delta (a_m + nu (C_end,m - C_m))(...)' + kappa tau^2 (C_end,m - C_m)(...)',
// splits into a part known now, delta (a_m - nu C_m)(a_m - nu C_m)' + kappa tau^2 C_m C_m', and
// parts in C_end,m whose coefficients are summed per group until C_end is known:
//   C_end,m C_end,m' sum (delta nu^2 + kappa tau^2),
//   C_end,m r_m' + r_m C_end,m'  with  r_m = sum (delta nu (a_m - nu C_m) - kappa tau^2 C_m).
// a and C are symmetric, so a column is read as a row. The matrices cut to the first K - 1
// groups keep rows of K.
struct GrayRunningSums {
  double* a;           // K x K, this week's
  double* sumC;        // K x K, C
  double* endWeight;   // K: sum of delta nu^2 + kappa tau^2, which C_end,m C_end,m' takes
  double* endRows;     // K x (K - 1) in rows of K: r_m, which meets C_end,m
  double* knownPart;   // (K - 1) x (K - 1) in rows of K, lower triangle: V less the parts in C_end
  // The week's, per group: the weights of the known part
  //   weightAA_m a_m a_m' - weightAC_m (a_m C_m' + C_m a_m') + weightCC_m C_m C_m'
  // (delta, delta nu and delta nu^2 + kappa tau^2), with a = diag(t) - t t' / T expanded so
  // that only the C C' part costs K^3 (below).
  double* scaledAtRisk;  // K: t
  double* weightAA;      // K
  double* weightAC;      // K
  double* weightCC;      // K
  double* crossAC;       // K - 1: h_j = sum over m of weightAC_m t_m C_mj (h below)
  double* rowTerms;      // K - 1: V_ij takes t_i rowTerms_j + t_j columnTerms_i
  double* columnTerms;   // K - 1
  double* tWeightAC;     // K - 1: t_i weightAC_i
  double* weightedC;     // (K - 1) x K: weightCC_m C_im
  double* factor;        // (K - 1) x (K - 1): V, factored in place for z' V^-1 z
  double* solution;      // K - 1: z, turned into V^-1 z

  GrayRunningSums(std::vector<double>& values, std::size_t k) {
    const std::size_t k1 = k - 1;
    const std::pair<double**, std::size_t> layout[] = {
        {&a, k * k},         {&sumC, k * k},        {&endWeight, k},     {&endRows, k * k},
        {&knownPart, k1 * k}, {&scaledAtRisk, k},    {&weightAA, k},      {&weightAC, k},
        {&weightCC, k},      {&crossAC, k1},        {&rowTerms, k1},     {&columnTerms, k1},
        {&tWeightAC, k1},    {&weightedC, k1 * k},  {&factor, k1 * k1},  {&solution, k1}};
    std::size_t size = 0;
    for (const auto& [column, length] : layout) size += length;
    values.assign(size, 0);
    double* next = values.data();
    for (const auto& [column, length] : layout) *column = std::exchange(next, next + length);
  }
};

}  // namespace

GrayTest ComputeGrayTest(std::span<const GrayColumns* const> all, GrayScratch& scratch) {
  GrayTest result;
  scratch.groups.clear();
  scratch.score.clear();
  scratch.variance.clear();
  std::size_t weeks = 0;
  for (const GrayColumns* g : all) {
    if (!g->hasCases) continue;
    weeks = scratch.groups.empty() ? g->weeks.size() : std::min(weeks, g->weeks.size());
    scratch.groups.push_back(g);
  }
  const int k = static_cast<int>(scratch.groups.size());
  if (k < 2) return result;
  const int k1 = k - 1;
  const auto k1u = static_cast<std::size_t>(k1);
  GrayRunningSums sums(scratch.values, static_cast<std::size_t>(k));
  double* const a = sums.a;
  double* const sumC = sums.sumC;
  double* const t = sums.scaledAtRisk;
  scratch.score.assign(k1u, 0);
  double* const score = scratch.score.data();
  const auto week = [&scratch](int group, std::size_t w) -> const GrayWeek& {
    return scratch.groups[static_cast<std::size_t>(group)]->weeks[w];
  };

  double incidenceBefore = 0;  // F
  for (std::size_t w = 0; w < weeks; ++w) {
    double d1 = 0, d2 = 0;
    for (int m = 0; m < k; ++m) {
      d1 += week(m, w).deathsOfInterest;
      d2 += week(m, w).competingDeaths;
    }
    if (!(d1 > 0) && !(d2 > 0)) continue;
    double sumT = 0, sumR = 0;
    for (int i = 0; i < k; ++i) {
      t[i] = week(i, w).scaledAtRisk;
      sumT += t[i];
      sumR += week(i, w).incidenceRisk;
    }
    const double incidenceAfter = incidenceBefore + d1 / sumT;  // F'
    const double cOverA = d1 / (sumT * (1 - incidenceBefore));
    for (int i = 0; i < k; ++i) {
      const double share = t[i] / sumT;
      double* ai = a + i * k;
      double* ci = sumC + i * k;
      for (int j = 0; j < k; ++j) {
        ai[j] = -share * t[j];
        ci[j] += ai[j] * cOverA;
      }
      ai[i] += t[i];
      ci[i] += t[i] * cOverA;
    }
    for (int i = 0; i < k1; ++i) score[i] += week(i, w).deathsOfInterest - d1 * week(i, w).incidenceRisk / sumR;

    const double oneMinusF = 1 - incidenceAfter;
    double sumWeightAAt2 = 0;
    std::fill(sums.crossAC, sums.crossAC + k1, 0.0);
    for (int m = 0; m < k; ++m) {
      const GrayWeek& g = week(m, w);
      const double* am = a + m * k;
      const double* cm = sumC + m * k;
      double* rm = sums.endRows + m * k;
      sums.weightAA[m] = sums.weightAC[m] = sums.weightCC[m] = 0;
      if (d1 > 0 && t[m] > 0) {
        const double nu = 1 - oneMinusF * g.inverseSurvivalAfter;
        const double theta = d1 > 1 ? 1 - (d1 - 1) / (sumT * g.survivalBefore - 1) : 1;
        const double delta = theta * d1 / (sumT * t[m]);
        sums.endWeight[m] += nu * nu * delta;
        for (int i = 0; i < k1; ++i) rm[i] += (am[i] - nu * cm[i]) * nu * delta;
        sums.weightAA[m] = delta;
        sums.weightAC[m] = delta * nu;
        sums.weightCC[m] = delta * nu * nu;
        sumWeightAAt2 += delta * t[m] * t[m];
        const double weightACt = sums.weightAC[m] * t[m];
        for (int j = 0; j < k1; ++j) sums.crossAC[j] += weightACt * cm[j];
      }
      if (d2 > 0 && g.competingWeight > 0) {
        const double tau = oneMinusF * g.inverseSurvivalAfter;
        const double kappa = g.competingWeight;
        sums.endWeight[m] += tau * tau * kappa;
        for (int i = 0; i < k1; ++i) rm[i] -= tau * cm[i] * tau * kappa;
        sums.weightCC[m] += kappa * tau * tau;
      }
    }
    // The known part's terms in a, gathered per group (a_mi = t_m (m == i) - t_m t_i / T):
    //   V_ij += (weightCC C_i) . C_j + t_i rowTerms_j + t_j columnTerms_i - (tWeightAC_i + tWeightAC_j) C_ij,
    //   rowTerms = t sum(weightAA t^2) / T^2 + columnTerms,  columnTerms = (h - weightAA t^2) / T,
    // and V_ii += weightAA_i t_i^2.
    const double inverseT = 1 / sumT;
    const double shared = sumWeightAAt2 * inverseT * inverseT;
    for (int i = 0; i < k1; ++i) {
      const double own = (sums.crossAC[i] - sums.weightAA[i] * t[i] * t[i]) * inverseT;
      sums.rowTerms[i] = t[i] * shared + own;
      sums.columnTerms[i] = own;
      sums.tWeightAC[i] = t[i] * sums.weightAC[i];
      const double* ci = sumC + i * k;
      double* weightedCi = sums.weightedC + i * k;
      for (int m = 0; m < k; ++m) weightedCi[m] = sums.weightCC[m] * ci[m];
    }
    for (int i = 0; i < k1; ++i) {
      const double* weightedCi = sums.weightedC + i * k;
      const double* ci = sumC + i * k;
      double* vi = sums.knownPart + i * k;
      for (int j = 0; j <= i; ++j) {
        const double* cj = sumC + j * k;
        double lanes[4] = {};
        int m = 0;
        for (; m + 4 <= k; m += 4) {
          for (int l = 0; l < 4; ++l) lanes[l] += weightedCi[m + l] * cj[m + l];
        }
        for (; m < k; ++m) lanes[0] += weightedCi[m] * cj[m];
        vi[j] += ((lanes[0] + lanes[1]) + (lanes[2] + lanes[3])) + t[i] * sums.rowTerms[j] + t[j] * sums.columnTerms[i] -
                 (sums.tWeightAC[i] + sums.tWeightAC[j]) * ci[j];
      }
      vi[i] += sums.weightAA[i] * t[i] * t[i];
    }
    incidenceBefore = incidenceAfter;
  }
  // Now that C holds C_end: V = the known part + the parts in C_end.
  scratch.variance.assign(k1u * k1u, 0);
  double* const variance = scratch.variance.data();
  for (int i = 0; i < k1; ++i) {
    for (int j = 0; j <= i; ++j) {
      double sum = sums.knownPart[i * k + j];
      for (int m = 0; m < k; ++m) {
        const double cim = sumC[m * k + i], cjm = sumC[m * k + j];
        sum += cim * cjm * sums.endWeight[m] + cim * sums.endRows[m * k + j] + cjm * sums.endRows[m * k + i];
      }
      variance[i * k1 + j] = variance[j * k1 + i] = sum;
    }
  }
  std::copy(variance, variance + k1u * k1u, sums.factor);
  std::copy(score, score + k1, sums.solution);
  double statistic = 0;
  if (!QuadraticForm(sums.factor, sums.solution, k1, statistic)) return result;
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
  // C = sumC [1 -1; -1 1]; the sums of ComputeGrayTest per group, the rows signed by the
  // group's side, and V's one entry less the parts in C_end.
  double sumC = 0, endWeightA = 0, endWeightB = 0, endRowA = 0, endRowB = 0, knownPart = 0, score = 0;
  double incidenceBefore = 0;  // F
  for (std::size_t w = 0; w < weeks; ++w) {
    const GrayWeek& ga = a.weeks[w];
    const GrayWeek& gb = b.weeks[w];
    const double d1 = ga.deathsOfInterest + gb.deathsOfInterest;
    const double d2 = ga.competingDeaths + gb.competingDeaths;
    if (!(d1 > 0) && !(d2 > 0)) continue;
    const double ta = ga.scaledAtRisk, tb = gb.scaledAtRisk;
    const double sumT = ta + tb;
    const double sumR = ga.incidenceRisk + gb.incidenceRisk;
    // Division is the slow step: one gives both reciprocals of the week's own sums, and
    // only the one of 1 - F waits for the week before, so that weeks overlap.
    const double inverse = 1 / (sumT * sumR);
    const double inverseT = sumR * inverse;
    const double incidenceAfter = incidenceBefore + d1 * inverseT;  // F'
    const double aScale = ta * tb * inverseT;  // a = aScale [1 -1; -1 1]
    sumC += aScale * d1 * inverseT / (1 - incidenceBefore);
    score += ga.deathsOfInterest - d1 * ga.incidenceRisk * (sumT * inverse);
    const double oneMinusF = 1 - incidenceAfter;
    if (d1 > 0) {
      // theta = 1 - (D1 - 1) / (T S - 1) per group at risk, again from one division.
      double thetaA = 1, thetaB = 1;
      if (d1 > 1) {
        const double xa = ta > 0 ? sumT * ga.survivalBefore - 1 : 1;
        const double xb = tb > 0 ? sumT * gb.survivalBefore - 1 : 1;
        const double both = (d1 - 1) / (xa * xb);
        thetaA = 1 - xb * both;
        thetaB = 1 - xa * both;
      }
      if (ta > 0) {
        const double nu = 1 - oneMinusF * ga.inverseSurvivalAfter;
        const double delta = thetaA * d1 * inverseT * ga.survivalPerAtRisk;
        const double row = aScale - nu * sumC;
        endWeightA += nu * nu * delta;
        endRowA += row * nu * delta;
        knownPart += delta * row * row;
      }
      if (tb > 0) {
        const double nu = 1 - oneMinusF * gb.inverseSurvivalAfter;
        const double delta = thetaB * d1 * inverseT * gb.survivalPerAtRisk;
        const double row = aScale - nu * sumC;
        endWeightB += nu * nu * delta;
        endRowB += row * nu * delta;
        knownPart += delta * row * row;
      }
    }
    if (d2 > 0) {
      const double tauA = oneMinusF * ga.inverseSurvivalAfter, tauB = oneMinusF * gb.inverseSurvivalAfter;
      const double weightA = tauA * tauA * ga.competingWeight, weightB = tauB * tauB * gb.competingWeight;
      endWeightA += weightA;
      endWeightB += weightB;
      endRowA -= sumC * weightA;
      endRowB -= sumC * weightB;
      knownPart += sumC * sumC * (weightA + weightB);
    }
    incidenceBefore = incidenceAfter;
  }
  const double v = knownPart + (sumC * sumC * (endWeightA + endWeightB) + 2 * sumC * (endRowA + endRowB));
  // A 1 x 1 matrix is singular for R's qr only where it is 0.
  if (!(std::abs(v) > 0)) return result;
  result.tested = true;
  result.statistic = score * score / v;
  result.df = 1;
  result.p = ChiSquareTail(1, result.statistic);
  return result;
}

}  // namespace orv
