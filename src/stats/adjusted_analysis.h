// The adjusted analyses of one run: one Cox model of every shown group (optionally with
// covariates and strata), a test per factor, the stratified log-rank test, the adjusted
// Fine-Gray model and the group's hazard ratios within the levels of one covariate.
//
// Every model is over the run's window: a case beyond its last week is censored there, a
// death of a cause counted as censored is a censoring (a competing event in Fine-Gray).
// The model and Fine-Gray leave out the cases without a value in a chosen column (counted as
// dropped); the stratified log-rank test leaves out only those without a stratum, and the
// subgroups only those without a level. Fine-Gray has no strata (as crr): it adjusts for the
// chosen covariates alone. A subgroup's model is the group factor alone, unadjusted.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/case_data.h"
#include "data/group_set.h"
#include "stats/cox_design.h"
#include "stats/cox_model.h"
#include "stats/factor_tests.h"
#include "stats/fine_gray_model.h"

namespace orv {

// What the user asked to adjust for. Column numbers index CaseData::covariates.columns.
struct ModelRequest {
  std::vector<CoxCovariateChoice> covariates;
  int strata = -1;    // a categorical column with a baseline hazard per level, or -1
  int subgroup = -1;  // a categorical column whose levels get a model each, or -1
  bool Asked() const { return !covariates.empty() || strata >= 0 || subgroup >= 0; }
  bool operator==(const ModelRequest&) const = default;
};

struct StratifiedLogRank {
  std::string refusal;  // not computed, and why
  double chiSquare = 0;
  int df = 0;
  double p = 1;
  std::int64_t dropped = 0;  // cases of the shown groups without a value in the strata column
};

struct SubgroupLevel {
  std::string level;
  std::int64_t n = 0;
  std::int64_t events = 0;
  CoxModel model;  // the group factor alone, within the level (its terms are the groups')
};

struct Subgroups {
  std::string name;  // the covariate's
  std::vector<SubgroupLevel> levels;
  // Likelihood ratio of group + covariate + group x covariate against group + covariate, on
  // the cases with a value in the column (neither model has the other covariates or strata).
  CoxTest interaction;
  std::string interactionRefusal;  // the interaction model could not be fitted, and why
  std::string refusal;
};

struct AdjustedAnalysis {
  bool fitted = false;  // false: nothing asked and fewer than two groups shown
  int referenceGroup = 0;
  CoxModel model;       // the groups, the chosen covariates and the strata
  std::vector<FactorTest> factorTests;  // the groups first, then each covariate in order
  std::optional<StratifiedLogRank> stratifiedLogRank;  // with strata
  std::optional<AdjustedFineGray> fineGray;            // with a cause counted as censored (no strata)
  std::optional<Subgroups> subgroups;                  // with a subgroup column
};

// Fits what is asked over the shown groups and the window ending at lastWeek; the
// reference group as the run's (the first shown group when none is chosen).
AdjustedAnalysis FitAdjustedAnalysis(const CaseData& cases, const GroupSet& shown, int referenceGroup,
                                     int lastWeek, const ModelRequest& request);

}  // namespace orv
