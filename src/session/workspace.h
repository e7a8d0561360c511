// The state of one run of the program, owned by the program and passed by reference.
#pragma once

#include <string>

#include "data/case_data.h"
#include "data/group_set.h"
#include "graph/line_styles.h"
#include "graph/plot_geometry.h"
#include "platform/view_windows.h"
#include "stats/analysis_results.h"
#include "stats/competing_results.h"
#include "stats/paper_text.h"
#include "stats/publication_figures.h"
#include "stats/reviewer_results.h"
#include "stats/test_results.h"
#include "survival/survival_tables.h"

namespace orv {

struct Workspace {
  CaseData cases;
  std::string dataPath;  // the loaded file as the raw data report names it (code page 932)
  SurvivalTables survival;
  GroupTestResults tests;
  PublicationFigures figures;  // estimates with intervals and hazard ratios
  CompetingRisks competing;    // cumulative incidence and its tests, with a censored cause
  GroupSet shown;              // drawn, pooled into group 0 and compared
  PlotGeometry geometry;
  LineStyles styles;
  ViewSizes viewSizes;
  // The reviewer's figures of the last run, against the chosen reference group (0: none
  // chosen, the first shown group).
  int referenceGroup = 0;
  ReviewerResults reviewer;

  Workspace();  // start-up values everywhere, line styles included

  // What the texts and views read of the last analysis run; a workspace is read as its
  // results wherever those are asked for.
  AnalysisResults Results() const { return {cases, survival, tests, figures, shown}; }
  operator AnalysisResults() const { return Results(); }
  // What the paragraphs for the paper read of the last analysis run.
  PaperSources PaperInput() const { return {cases, shown, figures, reviewer, competing, dataPath}; }
};

}  // namespace orv
