// The texts of each group's row that the views show: its label, 5- and 10-year survival, the
// survival at the end of its data, its median and the survival where its curve ends.
#pragma once

#include <array>
#include <string>

#include "data/case_data.h"
#include "data/group_set.h"
#include "stats/analysis_run.h"

namespace orv {

// Columns of the texts, after the headings of the survival-rate view.
enum SummaryColumn : int {
  kLabel = 0,
  kFiveYears = 1,
  kTenYears = 2,
  kDataMax = 3,
  kMedian = 4,
  kGraphMax = 5,
};

inline constexpr int kSummaryTotalsRow = 21;  // "累計", the label of the totals rows
inline constexpr int kSummaryRows = kSummaryTotalsRow + 1;  // groups 0..20 and the totals row

using SummaryTexts = std::array<std::array<std::string, 6>, kSummaryRows>;

// Groups 1..NumGroups are labelled "name ( n = rows )", group 0 "all case" until the data are
// analysed and "all Case ( n=" shown cases " )  " after. Without a run that is all. After one,
// the survival columns of every group with a table (group 0 only with a shown case), and
// "graph max", the survival where the curve of each shown group ends on a range of
// curveWeeks (empty for the others).
SummaryTexts MakeSummaryTexts(const CaseData& cases, const AnalysisRun& run, const GroupSet& shown, int curveWeeks);

}  // namespace orv
