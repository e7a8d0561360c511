// The Cox proportional-hazards model of several terms over per-case arrays: Efron's method
// for deaths of the same week, a baseline hazard per stratum, Newton-Raphson with step
// halving; per term the coefficient, its Wald interval and p; the model's likelihood-ratio,
// Wald and score tests and its concordance.
//
// Cases i = 1..n with week t_i, event d_i (1 death, 0 censored), stratum s_i and the row x_i
// of the design matrix (p columns, centred on their means, which changes no coefficient and
// keeps e^eta within range). eta_i = x_i' beta, w_i = e^eta_i. In a stratum, a week t with
// deaths D (d of them) has the risk set R = { j : s_j = s, t_j >= t } (a case censored in
// week t is still at risk in it) and the sums
//   S0 = sum_R w,  S1 = sum_R w x,  S2 = sum_R w x x',   and D0, D1, D2 the same over D.
// Efron's term j = 0..d-1 (f = j / d) takes away the share f of the deaths:
//   s0 = S0 - f D0,  s1 = S1 - f D1,  s2 = S2 - f D2;
//   log partial likelihood  l(beta) = sum_deaths eta_i - sum_weeks sum_j log s0
//   score                   U(beta) = sum_deaths x_i   - sum_weeks sum_j s1 / s0
//   information             I(beta) = sum_weeks sum_j [ s2 / s0 - s1 s1' / s0^2 ]
// Newton-Raphson from beta = 0: beta += I^-1 U, a step that lowers l halved, until l changes
// by less than 1e-10 relative. se_k = sqrt((I^-1)_kk) at the maximum; HR = e^beta;
// interval e^(beta -/+ 1.959964 se); p = P(|Z| > |beta / se|).
// Tests, df = the estimated terms: likelihood ratio 2 (l(beta) - l(0)); Wald beta' I beta;
// score U(0)' I(0)^-1 U(0); each against chi-square.
// Concordance (Harrell): over the pairs of one stratum where the earlier week is a death
// and the other case is still at risk then (a later week, or censored in the same week;
// two deaths of one week are not a pair), (concordant + tied / 2) / (concordant + discordant
// + tied), concordant when the death has the higher eta.
//
// Bad designs. A column that is a combination of the columns before it (within the strata,
// after centring; a column of one value is such a combination) is dropped with a note and
// has no estimate. A term along which l rises without bound has no finite maximum: in one
// direction of x_k every death has the highest (or the lowest) x_k of its risk set, as a
// level without deaths; it has no estimate and is left out of the fit with a note, so the
// other terms are those of the model without it (R reports them where its iteration stopped,
// near the limit of the cases that term takes out). A fit that climbs without converging (a
// combination of terms without a finite maximum) is refused, as is a model with more columns
// than deaths.
//
// A row of the design that stands for several cases of the same stratum, week, event and x
// counts that many times in every sum above (the means, d, l, U, I, the pairs of the
// concordance, n and the deaths), so that the fit is that of the cases one by one.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace orv {

// The per-row arrays of one model: n rows, p columns, x row by row (n * p). A row stands
// for `count` cases of the same stratum, week, event and x (empty: every row one case).
struct CoxDesign {
  std::vector<std::int32_t> week;
  std::vector<std::uint8_t> event;     // 1 death
  std::vector<std::int32_t> stratum;   // empty: one stratum
  std::vector<double> x;
  std::vector<std::int64_t> count;     // empty, or per row at least 1
  std::vector<std::string> columns;    // the name of each column, p of them
  // Per column the factor it belongs to: 0 the groups, c + 1 the c-th chosen covariate (a
  // categorical one has a column per level other than its reference); further factors, as
  // interaction terms, count on.
  std::vector<int> factorOf;
  std::vector<std::uint8_t> competing;  // per case: 1 a death of a cause counted as censored
  std::int64_t dropped = 0;            // cases left out for a missing value
  std::string refusal;                 // why no design could be made
  std::size_t Rows() const { return week.size(); }
  std::int64_t CountOf(std::size_t row) const { return count.empty() ? 1 : count[row]; }
};

struct CoxTerm {
  std::string name;
  bool estimated = false;  // false: collinear, or no finite maximum
  double beta = 0;
  double se = 0;
  double hr = 0;
  double lower = 0;
  double upper = 0;
  double z = 0;
  double p = 1;
};

struct CoxTest {
  double statistic = 0;
  int df = 0;
  double p = 1;
};

struct CoxModel {
  std::string refusal;  // not fitted, and why
  std::vector<CoxTerm> terms;
  CoxTest likelihoodRatio;
  CoxTest wald;
  CoxTest score;
  double logLikNull = 0;
  double logLik = 0;
  std::int64_t n = 0;
  std::int64_t events = 0;
  std::int64_t dropped = 0;  // for missing values, from the design
  double concordance = 0.5;
  double concordant = 0;
  double discordant = 0;
  double tiedRisk = 0;
  int iterations = 0;
  // p * p, row-major over every term: I^-1 at the maximum, 0 in the rows and columns of the
  // terms without an estimate.
  std::vector<double> covariance;
  std::string note;  // columns dropped or without an estimate, one line each
};

CoxModel FitCoxModel(const CoxDesign& design);
// The model of the chosen columns only (in increasing order), on the same cases: the others
// are left out as if the design had not got them (no estimate, no note). The model a factor's
// likelihood-ratio test compares against: with `from` (a model of the same design), its
// Newton-Raphson starts at from's estimates, and only what the test reads is set (logLik, and
// per term estimated and beta; logLikNull NaN, no test, interval or concordance).
CoxModel FitCoxModel(const CoxDesign& design, std::span<const int> columns, const CoxModel* from = nullptr);

}  // namespace orv
