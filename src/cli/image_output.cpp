// The image and text files of --out.
#include "cli/image_output.h"

#include <cairo-svg.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <filesystem>
#include <fstream>
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

std::string WriteTextFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  out.close();
  if (!out) return "cannot write " + path.string();
  return {};
}

std::string WriteReportFile(const std::string& path, const ReportDocument& report) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return "cannot write " + path;
  bool written = false;
  {
    OutputStream out(file);
    WriteReportText(report, false, out);
    written = out.Flush();
  }
  if (std::fclose(file) != 0 || !written) return "cannot write " + path;
  return {};
}

}  // namespace

std::string WritePng(const RecordingCanvas& canvas, std::size_t drawFrom, BkMode initialMode, const std::string& path) {
  const Rect client = canvas.ClientRect();
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, client.right, client.bottom);
  cairo_t* cr = cairo_create(surface);
  DrawOnto(cr, canvas, drawFrom, initialMode, true);
  cairo_destroy(cr);
  const cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS) return "cannot write " + path + ": " + cairo_status_to_string(status);
  return {};
}

std::string WriteSvg(const RecordingCanvas& canvas, std::size_t drawFrom, BkMode initialMode, const std::string& path) {
  const Rect client = canvas.ClientRect();
  cairo_surface_t* surface = cairo_svg_surface_create(path.c_str(), client.right, client.bottom);
  cairo_t* cr = cairo_create(surface);
  DrawOnto(cr, canvas, drawFrom, initialMode, false);
  cairo_destroy(cr);
  cairo_surface_finish(surface);
  const cairo_status_t status = cairo_surface_status(surface);
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS) return "cannot write " + path + ": " + cairo_status_to_string(status);
  return {};
}

std::string WriteOutputs(const BatchSession& s, const std::string& dir, bool bands) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec || !fs::is_directory(dir)) return "cannot create the directory " + dir;
  const fs::path base(dir);
  auto path = [&](const char* name) { return (base / name).string(); };

  const std::size_t graphFrom = LastFullRedraw(s.graph);
  std::string error = WritePng(s.graph, graphFrom, BkMode::Opaque, path("graph.png"));
  if (error.empty()) error = WriteSvg(s.graph, graphFrom, BkMode::Opaque, path("graph.svg"));

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
    if (error.empty()) error = WritePng(*v.canvas, 0, v.mode, path(v.image));
    if (error.empty()) error = WriteTextFile(path(v.text), ViewRowsText(*v.canvas, v.columns));
  }
  if (error.empty()) error = WriteReportFile(path("report.txt"), s.report);
  if (error.empty()) error = WriteTextFile(path("log-rank.txt"), Cp932ToUtf8(s.logRank.Text()));
  if (error.empty()) error = WriteTextFile(path("wilcoxon.txt"), Cp932ToUtf8(s.wilcoxon.Text()));
  if (error.empty()) error = WriteFigures(s.ws, bands, dir);
  // Fontconfig keeps its font list until told otherwise; release it so that a leak check
  // of the command sees only its own memory.
  cairo_debug_reset_static_data();
  FcFini();
  return error;
}

}  // namespace orv::cli
