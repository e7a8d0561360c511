// The test of each factor of a fitted Cox model (the groups, or one covariate with all of its
// terms), as R's anova(reduced, full) and a Wald test from vcov:
//   likelihood ratio  2 (l(full) - l(reduced)), the reduced model fitted on the same cases
//                     without the factor's columns, df = the estimated terms of the full
//                     model less those of the reduced one (a column collinear with the
//                     factor's may be estimated once the factor is gone);
//   Wald              beta_f' (V_ff)^-1 beta_f over the factor's estimated terms f, V the
//                     full model's covariance I^-1, df = their number.
// A factor without an estimated term has both tests at 0 on df 0 (p 1). A reduced model that
// cannot be fitted leaves its likelihood ratio NaN on df 0.
#pragma once

#include <string>
#include <vector>

#include "stats/cox_model.h"

namespace orv {

struct FactorTest {
  std::string name;
  CoxTest likelihoodRatio;  // the model against the model without the factor
  CoxTest wald;             // beta_f' V_ff^-1 beta_f over the factor's estimated terms
};

// One test per name, factor k being the columns with design.factorOf == k; `full` is
// FitCoxModel(design) and not refused.
std::vector<FactorTest> TestFactors(const CoxDesign& design, const CoxModel& full, const std::vector<std::string>& names);

// The likelihood ratio of `full` against its model without the columns of the given factors.
CoxTest LikelihoodRatioWithout(const CoxDesign& design, const CoxModel& full, const std::vector<int>& factors);

}  // namespace orv
