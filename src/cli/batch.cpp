// One run of the batch command: loads a data file, applies the chosen menu commands and
// setting window choices, and prints what the program would show (and writes --out).
#include "cli/batch.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "cli/competing_output.h"
#include "cli/csv_output.h"
#include "cli/encoding.h"
#include "cli/figure_output.h"
#include "cli/image_output.h"
#include "cli/input_file.h"
#include "cli/json_result.h"
#include "cli/model_output.h"
#include "cli/options.h"
#include "cli/output_stream.h"
#include "cli/paper_output.h"
#include "cli/session.h"
#include "cli/terminal_text.h"
#include "data/loader.h"

namespace orv::cli {
namespace {

// Standard error stays UTF-8 whatever bytes the user gave (a cause name, a path).
int Fail(std::FILE* err, int status, const std::string& message) {
  std::fprintf(err, "orvantis: %s\n", PrintableUtf8(message).c_str());
  return status;
}

// The program's own file check before a load, made on the one read of the file: a pipe
// (a named pipe, <(...)) yields its bytes only once, and a reload reuses them.
std::string ReadOnce(const std::string& path, std::string& bytes) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (!fs::exists(path, ec)) return path + ": file not found";
  if (fs::is_directory(path, ec)) return path + ": cannot open the file for reading";
  DataFileBytes file = ReadInput(path);
  switch (file.status) {
    case FileRead::Read: break;
    case FileRead::Unreadable: return path + ": cannot open the file for reading";
    case FileRead::TooLarge:
      return path + ": larger than " + std::to_string(kMaxDataFileBytes) + " bytes (2 GiB), the limit of a data file";
  }
  bytes = std::move(file.bytes);
  return {};
}

// The usage text; a standard output that refuses it is an error.
int PrintUsage(std::FILE* out, std::FILE* err) {
  if (std::fputs(UsageText(), out) < 0 || std::fflush(out) != 0) {
    return Fail(err, kExitFile, std::string("cannot write the output: ") + std::strerror(errno));
  }
  return 0;
}

// The text or JSON result on standard output. A failure is reported and returned, and the
// files of --out are written all the same.
int PrintResult(const BatchSession& session, const CliOptions& options, std::FILE* out, std::FILE* err) {
  OutputStream stream(out);
  if (options.json) {
    WriteResultJson(session, stream);
  } else {
    WriteTerminalText(session, isatty(fileno(out)) == 1, stream);
  }
  if (!stream.Flush()) {
    return Fail(err, kExitFile, std::string("cannot write the output: ") + std::strerror(stream.Error() != 0 ? stream.Error() : EIO));
  }
  return 0;
}

int WriteOutDir(const BatchSession& session, const CliOptions& options, std::FILE* err) {
  const FigureSettings figure = FigureSettingsOf(options);
  std::string error = WriteOutputs(session, *options.outDir, figure);
  if (error.empty()) error = WriteFigureTables(session.ws, *options.outDir);
  if (error.empty()) error = WriteCompetingRisksFiles(session.ws, figure, *options.outDir);
  if (error.empty()) error = WriteForestFiles(session.ws, *options.outDir);
  if (error.empty()) error = WritePaperFiles(session.ws, *options.outDir);
  // After the last figure: a drawing after the release would load the fonts again and hold
  // them to the end.
  ReleaseFontCaches();
  return error.empty() ? 0 : Fail(err, kExitFile, error);
}

}  // namespace

int RunBatch(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  auto parsed = ParseOptions(args);
  if (auto* error = std::get_if<OptionError>(&parsed)) return Fail(err, kExitUsage, error->message);
  const CliOptions& options = std::get<CliOptions>(parsed);
  if (options.help) return PrintUsage(out, err);
  std::string bytes;
  if (std::string error = ReadOnce(options.path, bytes); !error.empty()) return Fail(err, kExitFile, error);
  if (options.outDir) {
    if (std::string error = PrepareOutDir(*options.outDir, options.path); !error.empty()) return Fail(err, kExitFile, error);
  }

  BatchSession session(err, options.outDir.has_value());
  session.Load(options.path, std::move(bytes));
  if (std::string error = session.RunChoices(options); !error.empty()) return Fail(err, kExitUsage, error);

  const int printed = PrintResult(session, options, out, err);
  const int written = options.outDir ? WriteOutDir(session, options, err) : 0;
  return printed != 0 ? printed : written;
}

}  // namespace orv::cli
