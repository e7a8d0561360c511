// One run of the batch command: loads a data file, applies the chosen menu commands and
// setting window choices, and prints what the program would show (and writes --out).
#include "cli/batch.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <variant>
#include <vector>

#include "cli/encoding.h"
#include "cli/image_output.h"
#include "cli/json_result.h"
#include "cli/options.h"
#include "cli/output_stream.h"
#include "cli/session.h"
#include "cli/view_text.h"

namespace orv::cli {
namespace {

int Fail(std::FILE* err, int status, const std::string& message) {
  std::fprintf(err, "orvantis: %s\n", message.c_str());
  return status;
}

// The program's own file check before a load: the file must exist and open for reading.
std::string CheckDataFile(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (!fs::exists(path, ec)) return path + ": file not found";
  std::ifstream in(path, std::ios::binary);
  if (fs::is_directory(path, ec) || !in) return path + ": cannot open the file for reading";
  return {};
}

// A heading of the text output: the caption of the window it comes from.
void WriteSection(OutputStream& out, const char* caption) {
  out.Write('[');
  out.WriteCp932(caption);
  out.Write("]\n");
}

void WriteTerminalText(const BatchSession& s, bool ansi, OutputStream& out) {
  WriteReportText(s.report, ansi, out);
  out.Write('\n');
  WriteSection(out, "生存率");
  out.Write(ViewRowsText(s.survivalRate, kSurvivalRateColumns));
  const bool tested = s.ws.tests.ShownGroupCount >= 2;
  // The program's own notice when the pairwise window is asked for with too few groups.
  const char* notice = "グラフは2本以上必要です\n";
  out.Write('\n');
  WriteSection(out, "多重比較(Log rank)");
  out.WriteCp932(tested ? std::string_view(s.ws.tests.logRankTable) : notice);
  out.Write('\n');
  WriteSection(out, "多重比較(General Wilcoxon)");
  out.WriteCp932(tested ? std::string_view(s.ws.tests.wilcoxonTable) : notice);
}

}  // namespace

int RunBatch(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  auto parsed = ParseOptions(args);
  if (auto* error = std::get_if<OptionError>(&parsed)) return Fail(err, kExitUsage, error->message);
  const CliOptions& options = std::get<CliOptions>(parsed);
  if (options.help) {
    std::fputs(UsageText(), out);
    return 0;
  }
  if (std::string error = CheckDataFile(options.path); !error.empty()) return Fail(err, kExitFile, error);

  BatchSession session(err, options.outDir.has_value());
  session.Load(options.path);
  if (std::string error = session.CheckChoices(options); !error.empty()) return Fail(err, kExitUsage, error);
  if (!options.censor.empty()) session.CensorCauses(options.censor);
  if (!options.groupFlags.empty()) session.SetShownGroups(options.groupFlags);
  for (RangeCommand command : options.ranges) session.ApplyRange(command);
  session.PaintViews();

  {
    OutputStream stream(out);
    if (options.json) {
      WriteResultJson(session, stream);
    } else {
      WriteTerminalText(session, isatty(fileno(out)) == 1, stream);
    }
    if (!stream.Flush()) return Fail(err, kExitFile, "cannot write the output");
  }
  if (options.outDir) {
    if (std::string error = WriteOutputs(session, *options.outDir); !error.empty()) return Fail(err, kExitFile, error);
  }
  return 0;
}

}  // namespace orv::cli
