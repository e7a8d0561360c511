// One analysis run as a value of numbers: what the tables, tests and figures of the case data
// are for one choice of shown groups, window and reference group. The words and the drawings
// are made from it elsewhere; nothing here is text.
#pragma once

#include <array>

#include "data/case_data.h"
#include "data/group_set.h"
#include "stats/adjusted_analysis.h"
#include "stats/competing_results.h"
#include "stats/publication_figures.h"
#include "stats/reviewer_results.h"
#include "stats/test_results.h"
#include "survival/analysis_window.h"
#include "survival/survival_tables.h"

namespace orv {

// What a run is asked. The causes counted as censored are the case data's: the loader sorts
// each death by them.
struct AnalysisSettings {
  GroupSet shown;
  AnalysisWindow window;
  int referenceGroup = 0;  // 1..NumGroups; 0: none chosen, the first shown group stands
  ModelRequest model;      // the covariates, strata and subgroup column of the adjusted analyses
};

struct AnalysisRun {
  bool analysed = false;  // false until the first run: nothing below is set
  AnalysisWindow window;
  GroupSet shown;
  // The shown groups' deaths per cause 0..NumCauses (the deaths-by-cause view's totals row).
  std::array<Count, kCauseSlots> causeTotals{};
  SurvivalTables survival;  // the groups' weekly tables and the pooled table of the shown groups
  GroupTestResults tests;
  PublicationFigures figures;
  CompetingRisks competing;
  ReviewerResults reviewer;
  ModelRequest model;  // what the adjusted analyses were asked to adjust for
  AdjustedAnalysis adjusted;
};

// The whole run, every figure replaced. `room` is the previous run or a fresh one: its
// allocations are reused, so that a run over case data of the same size allocates little,
// and none of its figures survives.
void Analyse(const CaseData& cases, const AnalysisSettings& settings, AnalysisRun& room);

}  // namespace orv
