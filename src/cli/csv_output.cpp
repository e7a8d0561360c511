// The CSV files of --out, as UTF-8 with a byte-order mark.
#include "cli/csv_output.h"

#include <filesystem>
#include <fstream>

#include "cli/encoding.h"
#include "cli/reviewer_output.h"
#include "stats/figure_tables.h"

namespace orv::cli {

namespace {

std::string WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return out ? std::string() : "cannot write " + path;
}

}  // namespace

std::string Utf8CsvFile(const std::string& cp932Csv) { return "\xEF\xBB\xBF" + Cp932ToUtf8(cp932Csv); }

std::string WriteFigureTables(const Workspace& ws, const std::string& dir) {
  const std::filesystem::path base(dir);
  std::string error = WriteFile((base / "life-tables.csv").string(), Utf8CsvFile(LifeTablesCsv(ws)));
  if (error.empty()) error = WriteFile((base / "pairs.csv").string(), Utf8CsvFile(PairsCsv(ws)));
  if (error.empty()) error = WriteFile((base / "medians.csv").string(), Utf8CsvFile(MediansCsv(ws)));
  if (error.empty()) error = WriteFile((base / "hazard-ratios.csv").string(), Utf8CsvFile(HazardRatiosCsv(ws)));
  return error;
}

}  // namespace orv::cli
