// The likelihood-ratio and Wald tests of each factor of a Cox model.
#include "stats/factor_tests.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "stats/chi_square.h"
#include "stats/cholesky.h"

namespace orv {

namespace {

CoxTest Test(double statistic, int df) {
  CoxTest test{statistic, df, 1};
  if (!std::isfinite(statistic)) {
    test.p = std::numeric_limits<double>::quiet_NaN();
  } else if (df > 0) {
    test.p = ChiSquareTail(df, std::max(statistic, 0.0));
  }
  return test;
}

int Estimated(const CoxModel& model) {
  return static_cast<int>(std::count_if(model.terms.begin(), model.terms.end(),
                                        [](const CoxTerm& t) { return t.estimated; }));
}

// b' A^-1 b, A symmetric positive definite (q * q, row-major); NaN if it is not.
double InverseQuadraticForm(std::vector<double> a, const std::vector<double>& b, std::size_t q) {
  if (!Cholesky(a, q)) return std::numeric_limits<double>::quiet_NaN();
  std::vector<double> solved = b;
  CholeskySolve(a, q, solved.data());
  double form = 0;
  for (std::size_t k = 0; k < q; ++k) form += b[k] * solved[k];
  return form;
}

}  // namespace

CoxTest LikelihoodRatioWithout(const CoxDesign& design, const CoxModel& full, const std::vector<int>& factors) {
  std::vector<int> kept;
  for (std::size_t k = 0; k < design.columns.size(); ++k) {
    const int factor = k < design.factorOf.size() ? design.factorOf[k] : -1;
    if (std::find(factors.begin(), factors.end(), factor) == factors.end()) kept.push_back(static_cast<int>(k));
  }
  if (Estimated(full) == 0) return Test(0, 0);
  // Without any column the reduced model is the full model at beta = 0.
  if (kept.empty()) return Test(2 * (full.logLik - full.logLikNull), Estimated(full));
  const CoxModel reduced = FitCoxModel(design, kept, &full);
  if (!reduced.refusal.empty()) return Test(std::numeric_limits<double>::quiet_NaN(), 0);
  return Test(2 * (full.logLik - reduced.logLik), Estimated(full) - Estimated(reduced));
}

std::vector<FactorTest> TestFactors(const CoxDesign& design, const CoxModel& full, const std::vector<std::string>& names) {
  std::vector<FactorTest> tests;
  const std::size_t p = design.columns.size();
  for (std::size_t f = 0; f < names.size(); ++f) {
    FactorTest test{.name = names[f]};
    std::vector<std::size_t> terms;
    for (std::size_t k = 0; k < p && k < design.factorOf.size(); ++k) {
      if (design.factorOf[k] == static_cast<int>(f) && full.terms[k].estimated) terms.push_back(k);
    }
    const std::size_t q = terms.size();
    if (q > 0) {
      std::vector<double> v(q * q), beta(q);
      for (std::size_t i = 0; i < q; ++i) {
        beta[i] = full.terms[terms[i]].beta;
        for (std::size_t j = 0; j < q; ++j) v[i * q + j] = full.covariance[terms[i] * p + terms[j]];
      }
      test.wald = Test(InverseQuadraticForm(std::move(v), beta, q), static_cast<int>(q));
      test.likelihoodRatio = LikelihoodRatioWithout(design, full, {static_cast<int>(f)});
    }
    tests.push_back(test);
  }
  return tests;
}

}  // namespace orv
