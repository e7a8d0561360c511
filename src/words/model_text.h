// The adjusted analyses as words: the batch command's text section and the CSV table of the
// model (model.csv), both from the rows of the group model with their cases and deaths.
#pragma once

#include <string>
#include <vector>

#include "stats/model_rows.h"
#include "words/analysis_results.h"

namespace orv {

// The rows of the run's group model (see ModelRowsOf), over the run's window.
std::vector<ModelRow> ModelRowsOf(const AnalysisResults& r);

// "age", "stage" and "centre" of the request in code page 932, joined by ", ".
std::string CovariateNamesOf(const AnalysisResults& r);
// The strata's or the subgroups' column name; empty without one.
std::string StrataNameOf(const AnalysisResults& r);

// The text section (UTF-8, LF line ends); empty when no model was fitted. What the model is
// (groups against the reference, the covariates, the strata, the weeks), the loader's note of
// the file's covariate columns, n, events, cases
// dropped and the concordance; per row its events/cases and HR with its 95 % interval and p
// (a reference row "reference", a term without an estimate "n/a"); the global likelihood-
// ratio, Wald and score tests and each factor's; the stratified log-rank test, the groups
// within each subgroup level with the interaction test, the adjusted Fine-Gray model when
// present; the model's note.
std::string ModelText(const AnalysisResults& r);

// The same figures as a CSV table in code page 932, CR LF line ends; only the heading when no
// model was fitted. One row per term (part "term", "subgroup" or "fineGray") and per test
// (part "model", "factor", "stratifiedLogRank", "interaction"); a figure a row has not is empty.
std::string ModelCsv(const AnalysisResults& r);

}  // namespace orv
