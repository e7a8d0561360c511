// The design of a Cox model from the loaded cases: the group factor coded against the
// reference group, the chosen covariates (a continuous one as itself, a categorical one as
// an indicator per level other than its reference) and the strata, over the analysis window.
#pragma once

#include <string>
#include <vector>

#include "data/covariates.h"
#include "stats/cox_model.h"

namespace orv {

struct CoxCovariateChoice {
  int column = 0;          // an index into Covariates::columns
  int referenceLevel = 0;  // categorical: the level the others are set against
  bool operator==(const CoxCovariateChoice&) const = default;
};

struct CoxDesignRequest {
  int referenceGroup = 1;
  std::vector<int> groups;             // the shown groups, the reference among them
  std::vector<std::string> groupNames;  // by group number; a group without one is "群N"
  std::vector<CoxCovariateChoice> covariates;
  int strata = -1;                     // a categorical column, or -1 for none
  int lastWeek = 0;                    // later weeks are censored at it
  // Only the cases of one level of a categorical column (a subgroup), when onlyColumn >= 0;
  // a case without a value there is neither taken nor counted as dropped.
  int onlyColumn = -1;
  int onlyLevel = 0;
  // Cases of equal stratum, week, event, competing death and row of x as one row with their
  // count: what the Cox fits weigh; a model that reads cases one by one wants false.
  bool collapse = false;
};

// The cases of the shown groups with a value in every chosen column (the others counted as
// dropped), a death only when of a cause counted as a death, within the window.
CoxDesign BuildCoxDesign(const Covariates& covariates, const CoxDesignRequest& request);

// The design with each row repeated by its count, the counts gone.
CoxDesign ExpandedRows(const CoxDesign& design);

}  // namespace orv
