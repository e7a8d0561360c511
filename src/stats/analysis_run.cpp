// One analysis run: the tables, then every test and figure over the run's window.
#include "stats/analysis_run.h"

#include "stats/group_tests.h"

namespace orv {

void Analyse(const CaseData& cases, const AnalysisSettings& settings, AnalysisRun& run) {
  run.analysed = true;
  run.window = settings.window;
  run.shown = settings.shown;
  BuildGroupTables(cases, run.survival);
  BuildPooledTable(cases, settings.shown, run.survival);
  run.causeTotals = CauseTotals(cases, settings.shown);
  const int lastWeek = settings.window.lastWeek;
  ComputePetoStatistic(cases, run.survival, settings.shown, lastWeek, run.tests);
  ComputePublicationFigures(cases, run.survival, lastWeek, run.figures);
  ComputeCompetingRisks(cases, run.survival, settings.shown, lastWeek, run.competing);
  ComputeReviewerResults(cases, run.survival, settings.shown, run.figures.hazardRatios, lastWeek,
                         settings.referenceGroup, run.reviewer);
  run.model = settings.model;
  run.adjusted = FitAdjustedAnalysis(cases, settings.shown, settings.referenceGroup, lastWeek, settings.model);
}

}  // namespace orv
