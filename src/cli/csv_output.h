// The CSV files of --out.
#pragma once

#include <string>

#include "session/workspace.h"

namespace orv::cli {

// The run's CSV tables into the existing directory `dir`: life-tables.csv, pairs.csv,
// medians.csv, hazard-ratios.csv and, while deaths of some cause compete,
// cumulative-incidence.csv. Empty on success, else the error line.
std::string WriteFigureTables(const Workspace& ws, const std::string& dir);

}  // namespace orv::cli
