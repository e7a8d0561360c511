// What the texts and views of one analysis run read: the case tables, the survival tables
// with their labels and summary texts, the test results, the publication figures and the
// shown groups. The members are references; a function given them reads and never writes.
#pragma once

#include "data/case_data.h"
#include "data/group_set.h"
#include "stats/publication_figures.h"
#include "stats/test_results.h"
#include "survival/survival_tables.h"

namespace orv {

struct AnalysisResults {
  const CaseData& cases;
  const SurvivalTables& survival;
  const GroupTestResults& tests;
  const PublicationFigures& figures;
  const GroupSet& shown;
};

}  // namespace orv
