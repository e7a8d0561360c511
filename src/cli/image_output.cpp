// The image and text files of --out.
#include "cli/image_output.h"

#include <cairo-svg.h>
#include <cairo.h>

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

#include "cli/cairo_canvas.h"
#include "cli/encoding.h"
#include "cli/figure_output.h"
#include "cli/output_stream.h"
#include "cli/view_text.h"

namespace orv::cli {
namespace {

void DrawOnto(cairo_t* cr, const RecordingCanvas& canvas, std::size_t drawFrom, BkMode initialMode, bool crisp) {
  const Rect client = canvas.ClientRect();
  CairoCanvas target(cr, client.right, client.bottom, crisp);
  // A window's background before its first paint.
  target.FillRect(client, kWhite);
  target.SetBkMode(initialMode);
  Replay(canvas.ops, target, drawFrom);
}

std::string WriteReportFile(const std::string& dir, const ReportDocument& report) {
  OutFile file(dir, "report.txt");
  if (file.File() != nullptr) {
    OutputStream out(file.File());
    WriteReportText(report, false, out);
    if (!out.Flush()) file.Failed(out.Error());
  }
  return file.Commit();
}

}  // namespace

std::string WritePng(const RecordingCanvas& canvas, std::size_t drawFrom, BkMode initialMode, const std::string& dir,
                     const std::string& name) {
  const Rect client = canvas.ClientRect();
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, client.right, client.bottom);
  cairo_t* cr = cairo_create(surface);
  DrawOnto(cr, canvas, drawFrom, initialMode, true);
  cairo_destroy(cr);
  OutFile file(dir, name);
  const cairo_status_t status = cairo_surface_write_to_png_stream(surface, WriteToOutFile, &file);
  cairo_surface_destroy(surface);
  return CommitDrawing(file, status);
}

std::string WriteSvg(const RecordingCanvas& canvas, std::size_t drawFrom, BkMode initialMode, const std::string& dir,
                     const std::string& name) {
  const Rect client = canvas.ClientRect();
  OutFile file(dir, name);
  cairo_surface_t* surface = cairo_svg_surface_create_for_stream(WriteToOutFile, &file, client.right, client.bottom);
  cairo_t* cr = cairo_create(surface);
  DrawOnto(cr, canvas, drawFrom, initialMode, false);
  cairo_destroy(cr);
  cairo_surface_finish(surface);
  const cairo_status_t status = cairo_surface_status(surface);
  cairo_surface_destroy(surface);
  return CommitDrawing(file, status);
}

std::string PrepareOutDir(const std::string& dir, const std::string& dataPath) {
  namespace fs = std::filesystem;
  struct stat st {};
  if (stat(dir.c_str(), &st) == 0) {
    if (!S_ISDIR(st.st_mode)) return dir + ": not a directory";
  } else {
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) return "cannot create the directory " + dir + ": " + ec.message();
  }
  // The rename of an output onto the data file would lose the data: the data file (or the
  // file a link to it names) standing under an output name is refused before anything is
  // written.
  struct stat data {};
  if (stat(dataPath.c_str(), &data) != 0) return {};
  for (const char* name : kOutNames) {
    const std::string path = (fs::path(dir) / name).string();
    struct stat there {};
    if (lstat(path.c_str(), &there) == 0 && there.st_dev == data.st_dev && there.st_ino == data.st_ino) {
      return path + " is the data file: not replaced";
    }
  }
  return {};
}

std::string WriteOutputs(const BatchSession& s, const std::string& dir, const FigureSettings& figure) {
  if (std::string error = PrepareOutDir(dir, {}); !error.empty()) return error;
  const std::size_t graphFrom = LastFullRedraw(s.graph);
  std::string error = WritePng(s.graph, graphFrom, BkMode::Opaque, dir, "graph.png");
  if (error.empty()) error = WriteSvg(s.graph, graphFrom, BkMode::Opaque, dir, "graph.svg");

  struct View {
    const RecordingCanvas* canvas;
    BkMode mode;  // as the window's creation set up its drawing context
    const char* image;
    const char* text;
    std::span<const int> columns;
  };
  const View views[] = {
      {&s.legend, BkMode::Opaque, "legend.png", "legend.txt", {}},
      {&s.survivalRate, BkMode::Transparent, "survival-rate.png", "survival-rate.txt", kSurvivalRateColumns},
      {&s.cumulativeDeaths, BkMode::Opaque, "cumulative-deaths.png", "cumulative-deaths.txt", {}},
      {&s.deathsByCause, BkMode::Opaque, "deaths-by-cause.png", "deaths-by-cause.txt", {}},
      {&s.numberAtRisk, BkMode::Opaque, "number-at-risk.png", "number-at-risk.txt", {}},
  };
  for (const View& v : views) {
    if (error.empty()) error = WritePng(*v.canvas, 0, v.mode, dir, v.image);
    if (error.empty()) error = WriteOutFile(dir, v.text, ViewRowsText(*v.canvas, v.columns));
  }
  if (error.empty()) error = WriteReportFile(dir, s.report);
  if (error.empty()) error = WriteOutFile(dir, "log-rank.txt", ShownText(s.logRank.Text()));
  if (error.empty()) error = WriteOutFile(dir, "wilcoxon.txt", ShownText(s.wilcoxon.Text()));
  if (error.empty()) error = WriteFigures(s.ws, figure, dir);
  return error;
}


}  // namespace orv::cli
