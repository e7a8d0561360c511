// Fine-Gray subdistribution hazard ratio of two groups with its robust standard error.
#include "stats/fine_gray.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "survival/km_estimates.h"

namespace orv {

namespace {

constexpr int kMaxSteps = 200;
constexpr double kMaxStep = 4;        // a ratio of e^4 = 55 per Newton step at most
constexpr double kStepTolerance = 1e-13;

// The weeks with deaths of interest, as five columns of one block.
struct EventWeeks {
  std::size_t count = 0;
  double* week;   // the week, as a double
  double* deaths;  // d1 of both groups
  double* risksA;  // A_t
  double* risksB;  // B_t
  double* deathsB;  // d1 of group b
};

struct Evaluation {
  double score = 0;
  double information = 0;
};

Evaluation Evaluate(const EventWeeks& e, double deathsB, double beta) {
  const double r = std::exp(beta);
  double expected = 0, information = 0;
  for (std::size_t i = 0; i < e.count; ++i) {
    const double rb = e.risksB[i] * r;
    const double p = rb / (e.risksA[i] + rb);
    expected += e.deaths[i] * p;
    information += e.deaths[i] * (p - p * p);
  }
  return {deathsB - expected, information};
}

// The root of the falling score, known to exist.
double SolveScore(const EventWeeks& e, double deathsB) {
  double low = -std::numeric_limits<double>::infinity();
  double high = std::numeric_limits<double>::infinity();
  double beta = 0;
  for (int step = 0; step < kMaxSteps; ++step) {
    const Evaluation at = Evaluate(e, deathsB, beta);
    if (at.score == 0) break;
    if (at.score > 0) {
      low = beta;
    } else {
      high = beta;
    }
    // With no information left here the score is flat: go the full bounded step its sign asks.
    const double newton = at.information > 0 ? at.score / at.information : at.score * kMaxStep;
    double next = beta + std::clamp(newton, -kMaxStep, kMaxStep);
    if (!(next > low && next < high)) next = low + (high - low) / 2;  // both ends known here
    const bool done = std::abs(next - beta) <= kStepTolerance * std::max(1.0, std::abs(beta));
    beta = next;
    if (done) break;
  }
  return beta;
}

}  // namespace

SubHazardRatio EstimateSubHazardRatio(const CauseCounts& a, const CauseCounts& b, FineGrayScratch& scratch) {
  SubHazardRatio result;
  const std::size_t weeks = std::min({a.atRisk.size(), a.interest.size(), a.competing.size(), a.censored.size(),
                                      b.atRisk.size(), b.interest.size(), b.competing.size(), b.censored.size()});
  if (weeks == 0) return result;
  // Per week: G before it, and the suffix sums Qa, Qb (one more each); then the event columns.
  scratch.values.assign(3 * weeks + 2 + 5 * weeks, 0);
  double* g = scratch.values.data();
  double* qa = g + weeks;       // sum over t >= w of lambda_t G_t p_t
  double* qb = qa + weeks + 1;  // sum over t >= w of lambda_t G_t (1 - p_t)
  EventWeeks events;
  events.week = qb + weeks + 1;
  events.deaths = events.week + weeks;
  events.risksA = events.deaths + weeks;
  events.risksB = events.risksA + weeks;
  events.deathsB = events.risksB + weeks;

  // The competing deaths so far, each over G before its week: the weighted risk set of a
  // group in week t is its n_t + G_t times this sum.
  double pastA = 0, pastB = 0;
  double censoring = 1;  // G
  double deathsB = 0;
  bool bFacingA = false, aFacingB = false;
  for (std::size_t w = 0; w < weeks; ++w) {
    g[w] = censoring;
    const double na = a.atRisk[w], nb = b.atRisk[w];
    const double d1a = a.interest[w], d1b = b.interest[w];
    if (d1a + d1b > 0) {
      const double riskA = na + censoring * pastA;
      const double riskB = nb + censoring * pastB;
      const std::size_t i = events.count++;
      events.week[i] = static_cast<double>(w);
      events.deaths[i] = d1a + d1b;
      events.risksA[i] = riskA;
      events.risksB[i] = riskB;
      events.deathsB[i] = d1b;
      deathsB += d1b;
      bFacingA = bFacingA || (d1b > 0 && riskA > 0);
      aFacingB = aFacingB || (d1a > 0 && riskB > 0);
    }
    if (censoring > 0) {
      pastA += a.competing[w] / censoring;
      pastB += b.competing[w] / censoring;
    }
    const double n = na + nb;
    if (n > 0 && w + 1 < weeks) censoring *= 1 - (a.censored[w] + b.censored[w]) / n;
  }
  if (!bFacingA || !aFacingB) return result;

  const double beta = SolveScore(events, deathsB);
  const double r = std::exp(beta);
  const Evaluation at = Evaluate(events, deathsB, beta);

  // Suffix sums over the event weeks, laid out per week.
  {
    std::size_t i = events.count;
    for (std::size_t w = weeks; w-- > 0;) {
      qa[w] = qa[w + 1];
      qb[w] = qb[w + 1];
      if (i > 0 && events.week[i - 1] == static_cast<double>(w)) {
        --i;
        const double rb = events.risksB[i] * r;
        const double s0 = events.risksA[i] + rb;
        const double p = rb / s0;
        const double weighted = events.deaths[i] / s0 * g[w];
        qa[w] += weighted * p;
        qb[w] += weighted * (1 - p);
      }
    }
  }

  // Every case's eta + psi, the cases of one week, group and outcome alike.
  double sandwich = 0;
  double dLambdaA = 0, dLambdaB = 0;  // sum over t <= w of lambda_t (x - p_t), x = 0 and 1
  double psi = 0;                     // - sum over u <= w of c_u q(u) / n_u^2
  pastA = pastB = 0;
  std::size_t i = 0;
  for (std::size_t w = 0; w < weeks; ++w) {
    const double na = a.atRisk[w], nb = b.atRisk[w];
    const double n = na + nb;
    if (!(n > 0)) continue;
    const double d1a = a.interest[w], d1b = b.interest[w];
    const double d2a = a.competing[w], d2b = b.competing[w];
    // The last week censors everyone left after its deaths.
    const bool last = w + 1 == weeks;
    const double ca = last ? na - d1a - d2a : a.censored[w];
    const double cb = last ? nb - d1b - d2b : b.censored[w];
    double p = 0;
    if (i < events.count && events.week[i] == static_cast<double>(w)) {
      const double rb = events.risksB[i] * r;
      const double s0 = events.risksA[i] + rb;
      p = rb / s0;
      const double lambda = events.deaths[i] / s0;
      dLambdaA -= lambda * p;
      dLambdaB += lambda * (1 - p);
      ++i;
    }
    double q = 0;
    if (ca + cb > 0) {
      q = r * pastB * qb[w] - pastA * qa[w];
      psi -= (ca + cb) * q / (n * n);
    }
    const double etaA = -dLambdaA;       // e^(beta x) = 1
    const double etaB = -r * dLambdaB;
    const double gw = g[w];
    const double competingA = gw > 0 ? etaA + qa[w + 1] / gw : etaA;
    const double competingB = gw > 0 ? etaB - r * qb[w + 1] / gw : etaB;
    const double censoredShare = psi + q / n;
    const auto square = [](double x) { return x * x; };
    sandwich += d1a * square(-p + etaA + psi) + d1b * square(1 - p + etaB + psi) + d2a * square(competingA + psi) +
                d2b * square(competingB + psi) + ca * square(etaA + censoredShare) + cb * square(etaB + censoredShare);
    if (gw > 0) {
      pastA += d2a / gw;
      pastB += d2b / gw;
    }
  }

  result.estimated = true;
  result.beta = beta;
  result.se = std::sqrt(sandwich) / at.information;
  result.hr = r;
  result.lower = std::exp(beta - kNormalQuantile975 * result.se);
  result.upper = std::exp(beta + kNormalQuantile975 * result.se);
  result.p = std::erfc(std::abs(beta / result.se) / std::sqrt(2.0));
  return result;
}

}  // namespace orv
