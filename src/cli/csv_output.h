// The CSV files of --out: the life tables with the Kaplan-Meier estimates and intervals,
// and the pairs with their tests and hazard ratios.
#pragma once

#include <string>

#include "session/workspace.h"

namespace orv::cli {

// The byte-order mark before the UTF-8 text lets spreadsheet programs open the files
// without asking for their encoding.
std::string Utf8CsvFile(const std::string& cp932Csv);

// life-tables.csv and pairs.csv into the existing directory `dir`. Empty on success, else
// the error line.
std::string WriteFigureTables(const Workspace& ws, const std::string& dir);

}  // namespace orv::cli
