// The adjusted analyses of one run: one Cox model of every shown group (optionally with
// covariates and strata), a test per factor, the stratified log-rank test, the adjusted
// Fine-Gray model and the group's hazard ratios within the levels of one covariate.
//
// Every model is over the run's window: a case beyond its last week is censored there, a
// death of a cause counted as censored is a censoring (a competing event in Fine-Gray).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/case_data.h"
#include "data/group_set.h"
#include "stats/cox_design.h"
#include "stats/cox_model.h"

namespace orv {

// What the user asked to adjust for. Column numbers index CaseData::covariates.columns.
struct ModelRequest {
  std::vector<CoxCovariateChoice> covariates;
  int strata = -1;    // a categorical column with a baseline hazard per level, or -1
  int subgroup = -1;  // a categorical column whose levels get a model each, or -1
  bool Asked() const { return !covariates.empty() || strata >= 0 || subgroup >= 0; }
  bool operator==(const ModelRequest&) const = default;
};

// The test of one factor (the groups, or one covariate with all of its terms).
struct FactorTest {
  std::string name;
  CoxTest likelihoodRatio;  // the model against the model without the factor
  CoxTest wald;             // beta_f' V_ff^-1 beta_f over the factor's estimated terms
};

struct StratifiedLogRank {
  std::string refusal;  // not computed, and why
  double chiSquare = 0;
  int df = 0;
  double p = 1;
};

// The subdistribution model of the group factor plus the covariates, with the robust
// (sandwich) standard errors.
struct AdjustedFineGray {
  std::string refusal;
  std::vector<CoxTerm> terms;  // se is the robust one
  std::int64_t n = 0;
  std::int64_t events = 0;     // deaths of the causes counted as deaths
  std::int64_t competing = 0;  // deaths of the causes counted as censored
  std::int64_t dropped = 0;
  std::string note;
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
  CoxTest interaction;  // likelihood ratio with and without the group x covariate terms
  std::string refusal;
};

struct AdjustedAnalysis {
  bool fitted = false;  // false: nothing asked and fewer than two groups shown
  int referenceGroup = 0;
  CoxModel model;       // the groups, the chosen covariates and the strata
  std::vector<FactorTest> factorTests;  // the groups first, then each covariate in order
  std::optional<StratifiedLogRank> stratifiedLogRank;  // with strata
  std::optional<AdjustedFineGray> fineGray;            // with a cause counted as censored
  std::optional<Subgroups> subgroups;                  // with a subgroup column
};

// Fits what is asked over the shown groups and the window ending at lastWeek; the
// reference group as the run's (the first shown group when none is chosen).
AdjustedAnalysis FitAdjustedAnalysis(const CaseData& cases, const GroupSet& shown, int referenceGroup,
                                     int lastWeek, const ModelRequest& request);

}  // namespace orv
