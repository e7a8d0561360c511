// The CSV tables of a run, one list for both programs: the batch command writes each as
// "<name>.csv" into --out, the Windows program as "<file>-<name>.csv" beside the life tables.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "stats/competing_results.h"
#include "words/analysis_results.h"

namespace orv {

struct CsvTable {
  const char* name;   // "life-tables", "pairs", "medians", "hazard-ratios", "model", "cumulative-incidence"
  std::string bytes;  // UTF-8 with a byte-order mark
};

// The life tables, the pairs, the medians and the hazard ratios against the reference, the
// adjusted model when one was fitted, and while deaths of some cause compete the cumulative incidence, in that order. A group with an
// English label in `groupLabels` (UTF-8, per group slot; empty: none) is named by it.
std::vector<CsvTable> ResultTables(const AnalysisResults& r, const CompetingRisks& competing,
                                   std::span<const std::string> groupLabels = {});

}  // namespace orv
