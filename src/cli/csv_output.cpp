// The CSV files of --out.
#include "cli/csv_output.h"

#include "cli/output_stream.h"
#include "words/result_tables.h"

namespace orv::cli {

std::string WriteFigureTables(const Workspace& ws, const std::string& dir) {
  for (const CsvTable& table : ResultTables(ws, ws.run.competing, ws.groupLabels)) {
    if (std::string error = WriteOutFile(dir, std::string(table.name) + ".csv", table.bytes); !error.empty()) return error;
  }
  return {};
}

}  // namespace orv::cli
