// The adjusted analyses of one run.
#include "stats/adjusted_analysis.h"

#include "stats/reviewer_results.h"

namespace orv {

AdjustedAnalysis FitAdjustedAnalysis(const CaseData& cases, const GroupSet& shown, int referenceGroup,
                                     int lastWeek, const ModelRequest& request) {
  AdjustedAnalysis out;
  int groups = 0;
  for (int g = 1; g <= LastGroup(cases); ++g) groups += shown.Contains(g) ? 1 : 0;
  if (!request.Asked() && groups < 2) return out;
  out.fitted = true;
  out.referenceGroup = ReferenceGroup(cases, shown, referenceGroup);

  CoxDesignRequest design{.referenceGroup = out.referenceGroup,
                          .covariates = request.covariates,
                          .strata = request.strata,
                          .lastWeek = lastWeek};
  for (int g = 1; g <= LastGroup(cases); ++g) {
    if (shown.Contains(g)) design.groups.push_back(g);
  }
  design.groupNames.assign(cases.GroupNames.begin(), cases.GroupNames.end());
  const CoxDesign built = BuildCoxDesign(cases.covariates, design);
  if (!built.refusal.empty()) {
    out.model.refusal = built.refusal;
    return out;
  }
  out.model = FitCoxModel(built);
  return out;
}

}  // namespace orv
