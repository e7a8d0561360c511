// The weeks one analysis run reads, fitted once before anything reads them: the last week of
// every test, hazard ratio, restricted mean and incidence, and the X range the graph is
// labelled with after the run.
#pragma once

#include "data/case_data.h"
#include "data/group_set.h"

namespace orv {

struct AnalysisWindow {
  int lastWeek = 0;   // the statistics run over weeks 0..lastWeek
  int axisWeeks = 0;  // the X range of the graph after the run
};

// The requested range lowered, never raised, to the year boundary at or after the last
// censoring or death of the shown groups 1..NumGroups (kept as asked while none is shown, so
// that groups shown again are tested over the same weeks). The axis then takes that range,
// except that above the longest period of the data it ends on the year boundary after that
// period (exactly k years gives k + 1), and below a year it is a year.
AnalysisWindow FitAnalysisWindow(int requestedWeeks, const CaseData& cases, const GroupSet& shown);

// The axis rule alone: the X range labelled for a range of `weeks`.
int AxisWeeks(int weeks, int dataMaxWeeks);

}  // namespace orv
