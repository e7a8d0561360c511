// What the texts and views of one analysis run read: the case data, the run, the shown
// groups as the user last chose them and the groups' row texts. The members are references;
// a function given them reads and never writes.
#pragma once

#include "data/case_data.h"
#include "data/group_set.h"
#include "stats/analysis_run.h"
#include "stats/publication_figures.h"
#include "stats/test_results.h"
#include "survival/survival_tables.h"
#include "words/summary_texts.h"

namespace orv {

struct AnalysisResults {
  const CaseData& cases;
  const AnalysisRun& run;
  const SurvivalTables& survival;  // the run's
  const GroupTestResults& tests;   // the run's
  const PublicationFigures& figures;  // the run's
  const GroupSet& shown;
  const SummaryTexts& texts;
};

inline AnalysisResults ResultsOf(const CaseData& cases, const AnalysisRun& run, const GroupSet& shown,
                                 const SummaryTexts& texts) {
  return {cases, run, run.survival, run.tests, run.figures, shown, texts};
}

}  // namespace orv
