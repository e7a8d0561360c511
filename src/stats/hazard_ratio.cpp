// Cox proportional-hazards estimate of the hazard ratio between two groups, Efron's ties.
#include "stats/hazard_ratio.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "survival/km_estimates.h"
#include "text/truncate.h"

namespace orv {

namespace {

constexpr int kMaxSteps = 30;
constexpr int kMaxHalvings = 60;
constexpr double kRelativeChange = 1e-9;

// One Efron term, the j-th of a week's d deaths (f = j / d): the risk sum less f times the
// death sum, split by group, so that its value at beta is a + b e^beta.
struct EfronTerm {
  double a;
  double b;
};

// The terms of the weeks in which both groups have cases at risk and someone dies. Weeks in
// which only one group is at risk add a constant to the log likelihood and nothing to its
// derivatives.
struct PairLikelihood {
  std::vector<EfronTerm> terms;
  double deathsB = 0;   // deaths of b in the weeks of the terms: the beta d_b part
  double constant = 0;  // the other weeks' part
};

struct Evaluation {
  double logLik = 0;
  double score = 0;
  double information = 0;
};

// log of a product of positive factors, one logarithm per chunk of them instead of per
// factor; the chunk ends before the product can leave the range of a double.
class LogOfProduct {
 public:
  void Multiply(double factor) {
    product_ *= factor;
    if (product_ > 1e250 || product_ < 1e-250) Flush();
  }
  double Sum() {
    Flush();
    return sum_;
  }

 private:
  void Flush() {
    sum_ += std::log(product_);
    product_ = 1;
  }
  double product_ = 1;
  double sum_ = 0;
};

Evaluation Evaluate(const PairLikelihood& lik, double beta) {
  const double r = std::exp(beta);
  double score = lik.deathsB;
  double information = 0;
  LogOfProduct logDen;
  for (const EfronTerm& t : lik.terms) {
    const double num = t.b * r;
    const double den = t.a + num;
    const double m = num / den;
    score -= m;
    information += m - m * m;  // the covariate is 0 or 1, so its square is itself
    logDen.Multiply(den);
  }
  return {beta * lik.deathsB + lik.constant - logDen.Sum(), score, information};
}

bool Converged(double before, double after) {
  return std::abs(after - before) <= kRelativeChange * std::abs(before);
}

}  // namespace

HazardRatio EstimateHazardRatio(std::span<const double> deathsA, std::span<const double> atRiskA,
                                std::span<const double> deathsB, std::span<const double> atRiskB) {
  const std::size_t weeks = std::min({deathsA.size(), atRiskA.size(), deathsB.size(), atRiskB.size()});
  PairLikelihood lik;
  // The maximum is finite only when each group has a death while the other has cases at
  // risk; otherwise beta runs off to one side without end.
  bool deathOfAFacingB = false;
  bool deathOfBFacingA = false;
  LogOfProduct constantLog;
  for (std::size_t w = 0; w < weeks; ++w) {
    const double da = deathsA[w];
    const double db = deathsB[w];
    const double na = atRiskA[w];
    const double nb = atRiskB[w];
    const double d = da + db;
    if (!(d > 0)) continue;
    const std::int64_t count = TruncToInt64(d);
    if (na > 0 && nb > 0) {
      deathOfAFacingB = deathOfAFacingB || da > 0;
      deathOfBFacingA = deathOfBFacingA || db > 0;
      lik.deathsB += db;
      for (std::int64_t j = 0; j < count; ++j) {
        const double f = static_cast<double>(j) / d;
        lik.terms.push_back({na - f * da, nb - f * db});
      }
    } else {
      // One group alone at risk: its own factor e^beta cancels between deaths and risk set.
      const double n = na > 0 ? na : nb;
      for (std::int64_t j = 0; j < count; ++j) constantLog.Multiply(n - static_cast<double>(j));
    }
  }
  lik.constant = -constantLog.Sum();
  HazardRatio result;
  if (!deathOfAFacingB || !deathOfBFacingA) return result;

  double beta = 0;
  Evaluation at = Evaluate(lik, beta);
  bool converged = false;
  for (int step = 0; step < kMaxSteps && !converged; ++step) {
    if (!(at.information > 0)) return result;
    double delta = at.score / at.information;
    Evaluation next = Evaluate(lik, beta + delta);
    for (int h = 0; h < kMaxHalvings && !(next.logLik >= at.logLik); ++h) {
      delta /= 2;
      next = Evaluate(lik, beta + delta);
    }
    if (!(next.logLik >= at.logLik)) return result;
    converged = Converged(at.logLik, next.logLik);
    beta += delta;
    at = next;
  }
  if (!converged || !(at.information > 0) || !std::isfinite(beta)) return result;

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

}  // namespace orv
