// The rows of the adjusted model's tables: each term of the group model with the group or the
// covariate level it stands for, the reference group and each categorical covariate's
// reference level beside them, and the cases and deaths behind every row.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/case_data.h"
#include "stats/adjusted_analysis.h"

namespace orv {

struct ModelRow {
  std::string name;        // code page 932: the group's, "age", or "stage: II"
  int group = 0;           // a row of the group factor: its group 1..20; else 0
  int covariate = -1;      // a covariate's row: its place in the request; else -1
  bool reference = false;  // the reference group or level: no term, HR 1
  bool continuous = false;
  int term = -1;           // an index into the model's terms; -1 for a reference row
  // The cases used by the model in this row (the group, the level; a continuous term all of
  // them) and their deaths within the window.
  std::int64_t n = 0;
  std::int64_t events = 0;
};

// The group factor first (the reference group, then each other shown group in order), then
// each chosen covariate in the request's order (a categorical one's reference level first).
// Empty when the model was not fitted or was refused. The cases are counted over the same
// cases as the fit: the shown groups, no chosen value missing, a death only within lastWeek.
std::vector<ModelRow> ModelRowsOf(const CaseData& cases, const GroupSet& shown, int lastWeek, const ModelRequest& request,
                                  const AdjustedAnalysis& adjusted);

}  // namespace orv
