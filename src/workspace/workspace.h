// The state of one run of the program, owned by the program and passed by reference.
#pragma once

#include "data/case_data.h"
#include "graph/line_styles.h"
#include "graph/plot_geometry.h"
#include "platform/view_windows.h"
#include "stats/publication_figures.h"
#include "stats/test_results.h"
#include "survival/survival_tables.h"

namespace orv {

struct Workspace {
  CaseData cases;
  SurvivalTables survival;
  GroupTestResults tests;
  PublicationFigures figures;  // estimates with intervals and hazard ratios
  PlotGeometry geometry;
  LineStyles styles;
  ViewSizes viewSizes;

  Workspace();  // start-up values everywhere, line styles included
};

}  // namespace orv
