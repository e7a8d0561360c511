// Fine-Gray subdistribution hazard ratio of two groups with its robust standard error.
#include "stats/fine_gray.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "survival/km_estimates.h"

namespace orv {

namespace {

constexpr int kMaxSteps = 200;
constexpr double kMaxStep = 4;        // a ratio of e^4 = 55 per Newton step at most
constexpr double kStepTolerance = 1e-9;

// The columns of one pair, carved out of the scratch's values.
struct PairColumns {
  // Per week w of both groups.
  std::size_t weeks = 0;
  double* censoring = nullptr;         // G_w
  double* inverseCensoring = nullptr;  // 1 / G_w; 0 where G_w = 0
  double* inverseAtRisk = nullptr;     // 1 / n_w; 0 where nobody is at risk
  double* laterA = nullptr;            // weeks + 1: sum over event weeks t >= w of lambda_t G_t p_t
  double* laterB = nullptr;            // weeks + 1: sum over event weeks t >= w of lambda_t G_t (1 - p_t)
  // Per event week i (a week with deaths of interest), in order.
  std::size_t events = 0;
  double* eventWeek = nullptr;  // its week, as a double
  double* deaths = nullptr;     // d1_t
  double* risksA = nullptr;     // A_t
  double* risksB = nullptr;     // B_t
  double* share = nullptr;      // p_t at the beta of the variance
  double* step = nullptr;       // lambda_t at that beta
  double deathsB = 0;       // sum of d1b_t
  bool finiteRoot = false;  // U changes sign (see the header)
};

// The weighted risk sets of the event weeks and G.
PairColumns PrepareColumns(const CauseCounts& a, const CauseCounts& b, std::size_t weeks, std::vector<double>& values) {
  PairColumns c;
  c.weeks = weeks;
  const std::pair<double**, std::size_t> layout[] = {
      {&c.censoring, weeks}, {&c.inverseCensoring, weeks}, {&c.inverseAtRisk, weeks}, {&c.laterA, weeks + 1},
      {&c.laterB, weeks + 1}, {&c.eventWeek, weeks},       {&c.deaths, weeks},        {&c.risksA, weeks},
      {&c.risksB, weeks},    {&c.share, weeks},            {&c.step, weeks}};
  std::size_t size = 0;
  for (const auto& [column, length] : layout) size += length;
  // Every column is written before it is read, so the room is not cleared.
  values.resize(size);
  double* next = values.data();
  for (const auto& [column, length] : layout) *column = std::exchange(next, next + length);

  // The competing deaths so far, each over G before its week: the weighted risk set of a
  // group in week t is its n_t + G_t times this sum.
  double competingSoFarA = 0, competingSoFarB = 0;
  double censoring = 1;         // G
  double inverseCensoring = 1;  // 1 / G, 0 once G is 0
  bool bFacingA = false, aFacingB = false;
  for (std::size_t w = 0; w < weeks; ++w) {
    c.censoring[w] = censoring;
    const double na = a.atRisk[w], nb = b.atRisk[w];
    const double d1a = a.interest[w], d1b = b.interest[w];
    if (d1a + d1b > 0) {
      const double riskA = na + censoring * competingSoFarA;
      const double riskB = nb + censoring * competingSoFarB;
      const std::size_t i = c.events++;
      c.eventWeek[i] = static_cast<double>(w);
      c.deaths[i] = d1a + d1b;
      c.risksA[i] = riskA;
      c.risksB[i] = riskB;
      c.deathsB += d1b;
      bFacingA = bFacingA || (d1b > 0 && riskA > 0);
      aFacingB = aFacingB || (d1a > 0 && riskB > 0);
    }
    c.inverseCensoring[w] = inverseCensoring;
    competingSoFarA += a.competing[w] * inverseCensoring;
    competingSoFarB += b.competing[w] * inverseCensoring;
    // One division gives 1 / n and, where cases are censored, G's step (n - c) / n and its
    // inverse.
    const double n = na + nb;
    c.inverseAtRisk[w] = 0;
    if (n > 0) {
      const double censored = a.censored[w] + b.censored[w];
      const double left = n - censored;
      const double kept = left > 0 ? left : 1;
      const double inverse = 1 / (n * kept);
      c.inverseAtRisk[w] = kept * inverse;
      if (censored > 0 && left > 0) {
        censoring *= left * (left * inverse);
        inverseCensoring *= n * (n * inverse);
      } else if (censored > 0) {
        censoring = inverseCensoring = 0;
      }
    }
  }
  c.finiteRoot = bFacingA && aFacingB;
  return c;
}

struct ScoreAndInformation {
  double score = 0;
  double information = 0;
};

// Four independent sums, so that the divisions of neighbouring weeks overlap.
ScoreAndInformation Evaluate(const PairColumns& c, double beta) {
  const double r = std::exp(beta);
  double expected[4] = {}, information[4] = {};
  std::size_t i = 0;
  for (; i + 4 <= c.events; i += 4) {
    for (std::size_t k = 0; k < 4; ++k) {
      const double rb = c.risksB[i + k] * r;
      const double p = rb / (c.risksA[i + k] + rb);
      expected[k] += c.deaths[i + k] * p;
      information[k] += c.deaths[i + k] * (p - p * p);
    }
  }
  for (std::size_t k = 0; i < c.events; ++i, ++k) {
    const double rb = c.risksB[i] * r;
    const double p = rb / (c.risksA[i] + rb);
    expected[k] += c.deaths[i] * p;
    information[k] += c.deaths[i] * (p - p * p);
  }
  return {c.deathsB - ((expected[0] + expected[1]) + (expected[2] + expected[3])),
          (information[0] + information[1]) + (information[2] + information[3])};
}

// The root of the falling score, known to exist. Newton's steps shrink quadratically: once
// one is below the tolerance the next would change nothing a double holds, so it is the last.
double SolveScore(const PairColumns& c) {
  double low = -std::numeric_limits<double>::infinity();
  double high = std::numeric_limits<double>::infinity();
  double beta = 0;
  for (int step = 0; step < kMaxSteps; ++step) {
    const ScoreAndInformation at = Evaluate(c, beta);
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

struct SandwichSums {
  double information = 0;
  double sandwich = 0;  // sum over cases of (eta_i + psi_i)^2
};

// I and the sandwich's sum at beta; fills p_t, lambda_t and the sums after each week.
SandwichSums Sandwich(const CauseCounts& a, const CauseCounts& b, PairColumns& c, double beta) {
  const double r = std::exp(beta);
  const std::size_t weeks = c.weeks;
  double information = 0;
  {
    std::size_t i = c.events;
    double sumA = 0, sumB = 0;
    c.laterA[weeks] = c.laterB[weeks] = 0;
    for (std::size_t w = weeks; w-- > 0;) {
      if (i > 0 && c.eventWeek[i - 1] == static_cast<double>(w)) {
        --i;
        const double rb = c.risksB[i] * r;
        const double inverse = 1 / (c.risksA[i] + rb);
        const double p = rb * inverse;
        c.share[i] = p;
        c.step[i] = c.deaths[i] * inverse;
        information += c.deaths[i] * (p - p * p);
        const double weighted = c.step[i] * c.censoring[w];
        sumA += weighted * p;
        sumB += weighted * (1 - p);
      }
      c.laterA[w] = sumA;
      c.laterB[w] = sumB;
    }
  }

  // Every case's eta + psi, the cases of one week, group and outcome alike. Through week w,
  // a case of a followed so far has - sum over t <= w of lambda_t (0 - p_t) of its eta, one of
  // b - r sum lambda_t (1 - p_t); every case at risk in week w has psi's at-risk part to here.
  double sandwich = 0;
  double stepsA = 0, stepsB = 0;  // sum over event weeks t <= w of lambda_t (x - p_t), x = 0 and 1
  double psi = 0;                 // - sum over u <= w of c_u q(u) / n_u^2
  double competingSoFarA = 0, competingSoFarB = 0;  // as in PrepareColumns
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
    if (i < c.events && c.eventWeek[i] == static_cast<double>(w)) {
      p = c.share[i];
      stepsA -= c.step[i] * p;
      stepsB += c.step[i] * (1 - p);
      ++i;
    }
    double qOverN = 0;  // q(w) / n_w
    if (ca + cb > 0) {
      qOverN = (r * competingSoFarB * c.laterB[w] - competingSoFarA * c.laterA[w]) * c.inverseAtRisk[w];
      psi -= (ca + cb) * qOverN * c.inverseAtRisk[w];
    }
    const double followedA = -stepsA;  // r^0 = 1
    const double followedB = -r * stepsB;
    const double inverseG = c.inverseCensoring[w];  // 0 where G is: no case is then at risk
    // A competing death stays in the risk sets after its week with weight G_t / G_w.
    const double competingA = followedA + c.laterA[w + 1] * inverseG;
    const double competingB = followedB - r * c.laterB[w + 1] * inverseG;
    const double censoredPsi = psi + qOverN;
    const auto square = [](double x) { return x * x; };
    // Summed as a tree: the six products are independent, only the last addition waits.
    const double interestTerms = d1a * square(-p + followedA + psi) + d1b * square(1 - p + followedB + psi);
    const double competingTerms = d2a * square(competingA + psi) + d2b * square(competingB + psi);
    const double censoredTerms = ca * square(followedA + censoredPsi) + cb * square(followedB + censoredPsi);
    sandwich += interestTerms + (competingTerms + censoredTerms);
    competingSoFarA += d2a * inverseG;
    competingSoFarB += d2b * inverseG;
  }
  return {information, sandwich};
}

std::size_t CommonWeeks(const CauseCounts& a, const CauseCounts& b) {
  return std::min({a.atRisk.size(), a.interest.size(), a.competing.size(), a.censored.size(), b.atRisk.size(),
                   b.interest.size(), b.competing.size(), b.censored.size()});
}

}  // namespace

SubHazardRatio EstimateSubHazardRatio(const CauseCounts& a, const CauseCounts& b, FineGrayScratch& scratch) {
  SubHazardRatio result;
  const std::size_t weeks = CommonWeeks(a, b);
  if (weeks == 0) return result;
  PairColumns columns = PrepareColumns(a, b, weeks, scratch.values);
  if (!columns.finiteRoot) return result;
  const double beta = SolveScore(columns);
  const auto [information, sandwich] = Sandwich(a, b, columns, beta);

  result.estimated = true;
  result.beta = beta;
  result.hr = std::exp(beta);
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

FineGraySums EvaluateFineGray(double beta, const CauseCounts& a, const CauseCounts& b, FineGrayScratch& scratch) {
  const std::size_t weeks = CommonWeeks(a, b);
  if (weeks == 0) return {};
  PairColumns columns = PrepareColumns(a, b, weeks, scratch.values);
  const double score = Evaluate(columns, beta).score;
  const auto [information, sandwich] = Sandwich(a, b, columns, beta);
  return {score, information, sandwich};
}

}  // namespace orv
