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
constexpr double kStepTolerance = 1e-9;

// The weeks with deaths of interest, as four columns of one block.
struct EventWeeks {
  std::size_t count = 0;
  double* week;   // the week, as a double
  double* deaths;  // d1 of both groups
  double* risksA;  // A_t
  double* risksB;  // B_t
};

struct Evaluation {
  double score = 0;
  double information = 0;
};

// Four independent sums, so that the divisions of neighbouring weeks overlap.
Evaluation Evaluate(const EventWeeks& e, double deathsB, double beta) {
  const double r = std::exp(beta);
  double expected[4] = {}, information[4] = {};
  std::size_t i = 0;
  for (; i + 4 <= e.count; i += 4) {
    for (std::size_t k = 0; k < 4; ++k) {
      const double rb = e.risksB[i + k] * r;
      const double p = rb / (e.risksA[i + k] + rb);
      expected[k] += e.deaths[i + k] * p;
      information[k] += e.deaths[i + k] * (p - p * p);
    }
  }
  for (std::size_t k = 0; i < e.count; ++i, ++k) {
    const double rb = e.risksB[i] * r;
    const double p = rb / (e.risksA[i] + rb);
    expected[k] += e.deaths[i] * p;
    information[k] += e.deaths[i] * (p - p * p);
  }
  return {deathsB - ((expected[0] + expected[1]) + (expected[2] + expected[3])),
          (information[0] + information[1]) + (information[2] + information[3])};
}

// The root of the falling score, known to exist. Newton's steps shrink quadratically: once
// one is below the tolerance the next would change nothing a double holds, so it is the last.
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
  // Per week: G before it and its inverse, and the suffix sums Qa, Qb (one more each); then
  // the event columns.
  scratch.values.assign(5 * weeks + 2 + 4 * weeks, 0);
  double* g = scratch.values.data();
  double* inverseG = g + weeks;         // 1 / G, 0 where G is 0
  double* inverseN = inverseG + weeks;  // 1 / (n_a + n_b), 0 where nobody is at risk
  double* qa = inverseN + weeks;        // sum over t >= w of lambda_t G_t p_t
  double* qb = qa + weeks + 1;          // sum over t >= w of lambda_t G_t (1 - p_t)
  EventWeeks events;
  events.week = qb + weeks + 1;
  events.deaths = events.week + weeks;
  events.risksA = events.deaths + weeks;
  events.risksB = events.risksA + weeks;

  // The competing deaths so far, each over G before its week: the weighted risk set of a
  // group in week t is its n_t + G_t times this sum.
  double pastA = 0, pastB = 0;
  double censoring = 1;  // G
  double inverseCensoring = 1;  // 1 / G, 0 once G is 0
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
      deathsB += d1b;
      bFacingA = bFacingA || (d1b > 0 && riskA > 0);
      aFacingB = aFacingB || (d1a > 0 && riskB > 0);
    }
    inverseG[w] = inverseCensoring;
    pastA += a.competing[w] * inverseCensoring;
    pastB += b.competing[w] * inverseCensoring;
    // One division gives 1 / n and, where cases are censored, G's step (n - c) / n and its
    // inverse.
    const double n = na + nb;
    if (n > 0) {
      const double c = a.censored[w] + b.censored[w];
      const double left = n - c;
      const double kept = left > 0 ? left : 1;
      const double inverse = 1 / (n * kept);
      inverseN[w] = kept * inverse;
      if (c > 0 && left > 0) {
        censoring *= left * (left * inverse);
        inverseCensoring *= n * (n * inverse);
      } else if (c > 0) {
        censoring = inverseCensoring = 0;
      }
    }
  }
  if (!bFacingA || !aFacingB) return result;

  const double beta = SolveScore(events, deathsB);
  const double r = std::exp(beta);

  // Suffix sums over the event weeks, laid out per week; the columns of A and B, no longer
  // needed, take p_t and lambda_t = d1_t / (A_t + B_t r) for the pass after.
  double* const share = events.risksA;
  double* const lambda = events.risksB;
  double information = 0;
  {
    std::size_t i = events.count;
    double sumA = 0, sumB = 0;
    for (std::size_t w = weeks; w-- > 0;) {
      if (i > 0 && events.week[i - 1] == static_cast<double>(w)) {
        --i;
        const double rb = events.risksB[i] * r;
        const double inverse = 1 / (events.risksA[i] + rb);
        const double p = rb * inverse;
        share[i] = p;
        lambda[i] = events.deaths[i] * inverse;
        information += events.deaths[i] * (p - p * p);
        const double weighted = lambda[i] * g[w];
        sumA += weighted * p;
        sumB += weighted * (1 - p);
      }
      qa[w] = sumA;
      qb[w] = sumB;
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
      p = share[i];
      dLambdaA -= lambda[i] * p;
      dLambdaB += lambda[i] * (1 - p);
      ++i;
    }
    double q = 0;  // q(w) / n
    if (ca + cb > 0) {
      q = (r * pastB * qb[w] - pastA * qa[w]) * inverseN[w];
      psi -= (ca + cb) * q * inverseN[w];
    }
    const double etaA = -dLambdaA;  // e^(beta x) = 1
    const double etaB = -r * dLambdaB;
    const double inverse = inverseG[w];  // 0 where G is: no case is then at risk
    const double competingA = etaA + qa[w + 1] * inverse;
    const double competingB = etaB - r * qb[w + 1] * inverse;
    const double censoredShare = psi + q;
    const auto square = [](double x) { return x * x; };
    // Summed as a tree: the six products are independent, only the last addition waits.
    const double interestTerms = d1a * square(-p + etaA + psi) + d1b * square(1 - p + etaB + psi);
    const double competingTerms = d2a * square(competingA + psi) + d2b * square(competingB + psi);
    const double censoredTerms = ca * square(etaA + censoredShare) + cb * square(etaB + censoredShare);
    sandwich += interestTerms + (competingTerms + censoredTerms);
    pastA += d2a * inverse;
    pastB += d2b * inverse;
  }

  result.estimated = true;
  result.beta = beta;
  result.hr = r;
  // Every case's residual 0 (each group's deaths of interest all in the one week that ends
  // everyone's follow-up, say): a robust variance of 0 says nothing of the ratio's
  // uncertainty. As crr (se 0, p NaN), no interval and no test, rather than an interval of
  // no width and a p divided by 0.
  if (!(sandwich > 0 && information > 0)) {
    result.se = 0;
    result.lower = result.upper = result.p = std::numeric_limits<double>::quiet_NaN();
    return result;
  }
  result.se = std::sqrt(sandwich) / information;
  result.lower = std::exp(beta - kNormalQuantile975 * result.se);
  result.upper = std::exp(beta + kNormalQuantile975 * result.se);
  result.p = std::erfc(std::abs(beta / result.se) / std::sqrt(2.0));
  return result;
}

}  // namespace orv
