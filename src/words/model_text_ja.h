// The text of the window "多変量解析": the Cox model of the shown groups with the chosen
// covariates and strata (per term the hazard ratio, its 95 % interval and p; per factor its
// likelihood-ratio and Wald tests; the model's likelihood-ratio, Wald and score tests with
// their degrees of freedom; n, events, cases dropped for a missing value, the concordance),
// then the stratified log-rank test, the adjusted Fine-Gray model and the subgroups with
// their interaction test where the run has them. A model not fitted says why in words; the
// model's notes (a term dropped, a term without an estimate) follow its table.
// Columns are separated by tabs for the control's tab stops; CR LF line ends, code page 932.
#pragma once

#include <string>

#include "data/covariates.h"
#include "stats/adjusted_analysis.h"

namespace orv {

// `request` names the covariates, their reference levels and the strata as the run used them;
// `referenceName` is the reference group's name as the tables give it.
std::string ModelTextJa(const AdjustedAnalysis& a, const ModelRequest& request, const Covariates& covariates,
                        const std::string& referenceName);

}  // namespace orv
