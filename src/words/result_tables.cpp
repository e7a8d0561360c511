// The list of a run's CSV tables.
#include "words/result_tables.h"

#include "words/competing_text.h"
#include "words/figure_tables.h"
#include "words/format.h"
#include "words/model_text.h"
#include "words/reviewer_text.h"

namespace orv {

std::vector<CsvTable> ResultTables(const AnalysisResults& r, const CompetingRisks& competing,
                                   std::span<const std::string> groupLabels) {
  std::vector<CsvTable> tables = {{"life-tables", Utf8CsvFile(LifeTablesCsv(r, groupLabels))},
                                  {"pairs", Utf8CsvFile(PairsCsv(r, groupLabels))},
                                  {"medians", Utf8CsvFile(MediansCsv(r, groupLabels))},
                                  {"hazard-ratios", Utf8CsvFile(HazardRatiosCsv(r, groupLabels))}};
  if (r.run.adjusted.fitted) tables.push_back({"model", Utf8CsvFile(ModelCsv(r))});
  if (competing.active) {
    tables.push_back({"cumulative-incidence", Utf8CsvFile(CumulativeIncidenceCsv(r, competing, groupLabels))});
  }
  return tables;
}

}  // namespace orv
