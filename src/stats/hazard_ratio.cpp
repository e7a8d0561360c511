// Cox proportional-hazards estimate of the hazard ratio between two groups, Efron's ties.
#include "stats/hazard_ratio.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "stats/log_of_product.h"
#include "survival/km_estimates.h"
#include "text/truncate.h"

namespace orv {

namespace {

// Steps of at most kMaxStep reach |beta| = 240, a ratio of 1e104, far past any that cases
// can give.
constexpr int kMaxSteps = 60;
constexpr int kMaxHalvings = 60;
// A first step from 0 toward a ratio of thousands overshoots to where e^beta leaves every
// m_j at 0 or 1; steps this long stay where the information still tells the way back.
constexpr double kMaxStep = 4;
constexpr double kRelativeChange = 1e-9;
constexpr int kShortWeek = 8;
// 1 / d for the deaths of a short week, which the table gives without a division.
constexpr double kInverse[kShortWeek + 1] = {0, 1.0 / 1, 1.0 / 2, 1.0 / 3, 1.0 / 4, 1.0 / 5, 1.0 / 6, 1.0 / 7, 1.0 / 8};

// The Efron terms of the weeks in which both groups have cases at risk and someone dies:
// term j of a week's d deaths (f = j / d) has the denominator a + b e^beta with
// a = n_a - f d_a and b = n_b - f d_b, both above 0. Weeks in which only one group is at
// risk add a constant to the log likelihood and nothing to its derivatives.
struct PairLikelihood {
  const CoxScratch& terms;
  std::size_t count = 0;
  double deathsB = 0;   // deaths of b in the weeks of the terms: the beta d_b part
  double constant = 0;  // the other weeks' part
  double mostAtRisk = 1;  // the largest n_a + n_b of the weeks of the terms
  double mostDeaths = 1;  // the largest d
  bool finite = false;    // the maximum is finite
};

// How many denominators each of the four running products may take before a logarithm:
// every one lies between the bounds, so a product of this many stays within e^+-600.
std::size_t ChunkLength(const PairLikelihood& lik, double r) {
  // a and b are 1 or more, or at least 1 / d when a group's every case dies that week.
  const double scale = std::max(1.0, r);
  const double low = scale / lik.mostDeaths;
  const double high = lik.mostAtRisk * scale;
  const double perTerm = std::max({std::abs(std::log(low)), std::abs(std::log(high)), 1.0});
  return static_cast<std::size_t>(std::clamp(600 / perTerm, 1.0, 256.0));
}

// Four independent sums, so that the divisions of neighbouring terms overlap.
CoxLikelihood Evaluate(const PairLikelihood& lik, double beta) {
  const double r = std::exp(beta);
  const double* a = lik.terms.a.data();
  const double* b = lik.terms.b.data();
  const std::size_t n = lik.count;
  const std::size_t perLane = ChunkLength(lik, r);
  const std::size_t chunk = 4 * perLane;
  const bool pairs = perLane >= 2;
  double score[4] = {}, info[4] = {};
  // Each product is kept as a fraction and a power of two, and renormalised after every
  // chunk: exact, and two logarithms at the end instead of four per chunk.
  double product[4] = {1, 1, 1, 1};
  long long exponent = 0;
  for (std::size_t start = 0; start < n; start += chunk) {
    const std::size_t end = std::min(n, start + chunk);
    std::size_t i = start;
    // Division is the slow step: two terms share one, through the reciprocal of their
    // denominators' product, which the bounds keep finite when a chunk holds two or more.
    if (pairs) {
      for (; i + 8 <= end; i += 8) {
        for (std::size_t k = 0; k < 4; ++k) {
          const double num1 = b[i + k] * r, num2 = b[i + 4 + k] * r;
          const double den1 = a[i + k] + num1, den2 = a[i + 4 + k] + num2;
          const double both = den1 * den2;
          const double inverse = 1 / both;
          const double m1 = num1 * den2 * inverse, m2 = num2 * den1 * inverse;
          score[k] += m1 + m2;
          info[k] += (m1 - m1 * m1) + (m2 - m2 * m2);
          product[k] *= both;
        }
      }
    }
    for (; i + 4 <= end; i += 4) {
      for (std::size_t k = 0; k < 4; ++k) {
        const double num = b[i + k] * r;
        const double den = a[i + k] + num;
        const double m = num / den;
        score[k] += m;
        info[k] += m - m * m;  // the covariate is 0 or 1, so its square is itself
        product[k] *= den;
      }
    }
    for (std::size_t k = 0; i < end; ++i, ++k) {
      const double num = b[i] * r;
      const double den = a[i] + num;
      const double m = num / den;
      score[k] += m;
      info[k] += m - m * m;
      product[k] *= den;
    }
    for (double& p : product) {
      int e = 0;
      p = std::frexp(p, &e);
      exponent += e;
    }
  }
  const double logDen = (std::log(product[0] * product[1]) + std::log(product[2] * product[3])) +
                        static_cast<double>(exponent) * std::numbers::ln2;
  const double expected = (score[0] + score[1]) + (score[2] + score[3]);
  const double information = (info[0] + info[1]) + (info[2] + info[3]);
  return {beta * lik.deathsB + lik.constant - logDen, lik.deathsB - expected, information};
}

bool Converged(double before, double after) {
  return std::abs(after - before) <= kRelativeChange * std::abs(before);
}

// The terms of the weeks in which both groups are at risk, into scratch; the rest of l.
PairLikelihood CollectTerms(std::span<const double> deathsA, std::span<const double> atRiskA,
                            std::span<const double> deathsB, std::span<const double> atRiskB, CoxScratch& scratch) {
  const std::size_t weeks = std::min({deathsA.size(), atRiskA.size(), deathsB.size(), atRiskB.size()});
  // Every death of either group, room enough for the terms; and for the whole block that a
  // short week writes.
  double deaths[4] = {};
  std::size_t v = 0;
  for (; v + 4 <= weeks; v += 4) {
    for (std::size_t k = 0; k < 4; ++k) deaths[k] += deathsA[v + k] + deathsB[v + k];
  }
  for (; v < weeks; ++v) deaths[0] += deathsA[v] + deathsB[v];
  const double allDeaths = (deaths[0] + deaths[1]) + (deaths[2] + deaths[3]);
  scratch.a.resize(static_cast<std::size_t>(TruncToInt64(allDeaths)) + kShortWeek);
  scratch.b.resize(scratch.a.size());
  double* termA = scratch.a.data();
  double* termB = scratch.b.data();
  PairLikelihood lik{scratch};
  // The maximum is finite only when each group has a death while the other has cases at
  // risk; otherwise beta runs off to one side without end.
  bool deathOfAFacingB = false;
  bool deathOfBFacingA = false;
  LogOfProduct constantLog;
  for (std::size_t w = 0; w < weeks; ++w) {
    const double da = deathsA[w];
    const double db = deathsB[w];
    const double d = da + db;
    if (!(d > 0)) continue;
    const double na = atRiskA[w];
    const double nb = atRiskB[w];
    if (na > 0 && nb > 0) {
      deathOfAFacingB = deathOfAFacingB || da > 0;
      deathOfBFacingA = deathOfBFacingA || db > 0;
      lik.deathsB += db;
      lik.mostDeaths = std::max(lik.mostDeaths, d);
      lik.mostAtRisk = std::max(lik.mostAtRisk, na + nb);
      if (d <= kShortWeek) {
        const int count = static_cast<int>(d);  // a whole number from 1 to kShortWeek
        const double stepA = da * kInverse[count];
        const double stepB = db * kInverse[count];
        // A week of few deaths writes one block of four terms, or two blocks for more than
        // four deaths, and keeps its first d terms: nearly the same work every week, instead of a loop whose length the
        // processor cannot foresee. Separate loops for a and b keep each run's stores
        // together for the vectoriser.
        for (int k = 0; k < 4; ++k) termA[k] = na - k * stepA;
        for (int k = 0; k < 4; ++k) termB[k] = nb - k * stepB;
        if (count > 4) {
          for (int k = 4; k < kShortWeek; ++k) termA[k] = na - k * stepA;
          for (int k = 4; k < kShortWeek; ++k) termB[k] = nb - k * stepB;
        }
        termA += count;
        termB += count;
      } else {
        const double stepA = da / d;
        const double stepB = db / d;
        for (double f = 0; f < d; ++f) {
          *termA++ = na - f * stepA;
          *termB++ = nb - f * stepB;
        }
      }
    } else {
      // One group alone at risk: its own factor e^beta cancels between deaths and risk set.
      const double n = na > 0 ? na : nb;
      for (double j = 0; j < d; ++j) constantLog.Multiply(n - j);
    }
  }
  lik.constant = -constantLog.Sum();
  lik.count = std::min(static_cast<std::size_t>(termA - scratch.a.data()), scratch.a.size() - kShortWeek);
  lik.finite = deathOfAFacingB && deathOfBFacingA;
  return lik;
}

}  // namespace

HazardRatio EstimateHazardRatio(std::span<const double> deathsA, std::span<const double> atRiskA,
                                std::span<const double> deathsB, std::span<const double> atRiskB,
                                CoxScratch& scratch) {
  const PairLikelihood lik = CollectTerms(deathsA, atRiskA, deathsB, atRiskB, scratch);
  HazardRatio result;
  if (!lik.finite) return result;

  // Every point taken has I > 0 (beta = 0 has: each m_j lies strictly between 0 and 1), so
  // each step has a direction; with l concave the steps climb to its maximum.
  double beta = 0;
  CoxLikelihood at = Evaluate(lik, beta);
  const auto taken = [&at](const CoxLikelihood& next) { return next.logLik >= at.logLik && next.information > 0; };
  bool converged = false;
  for (int step = 0; step < kMaxSteps && !converged; ++step) {
    double delta = std::clamp(at.score / at.information, -kMaxStep, kMaxStep);
    CoxLikelihood next = Evaluate(lik, beta + delta);
    for (int h = 0; h < kMaxHalvings && !taken(next); ++h) {
      delta /= 2;
      next = Evaluate(lik, beta + delta);
    }
    // No step up even at 4 / 2^60: beta is the maximum as far as l's doubles can tell.
    converged = !taken(next) || Converged(at.logLik, next.logLik);
    if (!taken(next)) break;
    beta += delta;
    at = next;
  }
  if (!converged) return result;

  result.estimated = true;
  result.beta = beta;
  result.se = 1 / std::sqrt(at.information);
  result.hr = std::exp(beta);
  result.lower = std::exp(beta - kNormalQuantile975 * result.se);
  result.upper = std::exp(beta + kNormalQuantile975 * result.se);
  // Two-sided normal tail, computed as a tail.
  result.p = std::erfc(std::abs(beta / result.se) / std::sqrt(2.0));
  return result;
}

CoxLikelihood EvaluateCoxLikelihood(double beta, std::span<const double> deathsA, std::span<const double> atRiskA,
                                    std::span<const double> deathsB, std::span<const double> atRiskB,
                                    CoxScratch& scratch) {
  return Evaluate(CollectTerms(deathsA, atRiskA, deathsB, atRiskB, scratch), beta);
}

}  // namespace orv
