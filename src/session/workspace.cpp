// Start-up values of the whole workspace.
#include "session/workspace.h"

#include "survival/analysis_window.h"

namespace orv {

Workspace::Workspace() {
  InitLineStyles(styles);
  // Before any load the graph's axis is fitted to no data: a year of weeks.
  run.window = {geometry.xMax, AxisWeeks(geometry.xMax, cases.dataMaxWeeks)};
  texts = MakeSummaryTexts(cases, run, shown, geometry.xMax);
}

}  // namespace orv
