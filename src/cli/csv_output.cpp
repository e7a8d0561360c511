// The CSV files of --out, as UTF-8 with a byte-order mark.
#include "cli/csv_output.h"

#include "cli/encoding.h"
#include "cli/output_stream.h"
#include "cli/reviewer_output.h"
#include "words/figure_tables.h"

namespace orv::cli {

std::string Utf8CsvFile(const std::string& cp932Csv) { return "\xEF\xBB\xBF" + Cp932ToUtf8(cp932Csv); }

std::string WriteFigureTables(const Workspace& ws, const std::string& dir) {
  std::string error = WriteOutFile(dir, "life-tables.csv", Utf8CsvFile(LifeTablesCsv(ws)));
  if (error.empty()) error = WriteOutFile(dir, "pairs.csv", Utf8CsvFile(PairsCsv(ws)));
  if (error.empty()) error = WriteOutFile(dir, "medians.csv", Utf8CsvFile(MediansCsv(ws)));
  if (error.empty()) error = WriteOutFile(dir, "hazard-ratios.csv", Utf8CsvFile(HazardRatiosCsv(ws)));
  return error;
}

}  // namespace orv::cli
