// The publication figure drawn with Cairo.
#include "cli/figure_output.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <zlib.h>

#include <cmath>
#include <numbers>

#include "cli/cairo_canvas.h"
#include "cli/encoding.h"
#include "cli/tiff_image.h"
#include "graph/incidence_figure.h"
#include "graph/line_styles.h"

namespace orv::cli {
namespace {

// Points per dot: the vector formats are sized in points.
constexpr double kPointsPerDot = 72.0 / kFigureDpi;
// A PNG states its resolution in pixels per metre: 11811 at 300 dpi.
std::uint32_t DotsPerMetre(int dpi) { return static_cast<std::uint32_t>(std::lround(dpi / 0.0254)); }

constexpr char kLatinFamily[] = "Liberation Sans";
constexpr char kJapaneseFamily[] = "IPAPGothic";

void SelectFont(cairo_t* cr, const char* family, double size) {
  cairo_select_font_face(cr, family, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
}

// A text in runs of one font each: the CJK characters (from U+2E80: kana, kanji, full-width
// forms) in the proportional Japanese font, everything else, the en dash and ellipsis among
// it, in the Latin font. Left to Fontconfig, a Japanese face for the whole text set its
// Latin words and figures in the monospaced face's half-width glyphs.
struct FontRun {
  std::string_view text;
  const char* family;
};

std::vector<FontRun> FontRuns(std::string_view utf8) {
  std::vector<FontRun> runs;
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    std::uint32_t code = lead;
    if (length > 1 && i + length <= utf8.size()) {
      code = lead & (0x7F >> length);
      for (std::size_t k = 1; k < length; ++k) code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    }
    const char* family = code >= 0x2E80 ? kJapaneseFamily : kLatinFamily;
    const std::size_t n = std::min(length, utf8.size() - i);
    if (!runs.empty() && runs.back().family == family) {
      runs.back().text = std::string_view(runs.back().text.data(), runs.back().text.size() + n);
    } else {
      runs.push_back({utf8.substr(i, n), family});
    }
    i += n;
  }
  return runs;
}

void SetUnhintedFonts(cairo_t* cr) {
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
}

double Advance(cairo_t* cr, std::string_view utf8, double size) {
  double width = 0;
  for (const FontRun& run : FontRuns(utf8)) {
    SelectFont(cr, run.family, size);
    const std::string text(run.text);
    cairo_text_extents_t te;
    cairo_text_extents(cr, text.c_str(), &te);
    width += te.x_advance;
  }
  return width;
}

// The text from the current point on, run after run.
void ShowRuns(cairo_t* cr, std::string_view utf8, double size) {
  for (const FontRun& run : FontRuns(utf8)) {
    SelectFont(cr, run.family, size);
    cairo_show_text(cr, std::string(run.text).c_str());
  }
}

void SetColour(cairo_t* cr, Rgb c, double opacity) {
  cairo_set_source_rgba(cr, RedOf(c) / 255.0, GreenOf(c) / 255.0, BlueOf(c) / 255.0, opacity);
}

void Draw(cairo_t* cr, const FigureLayout& layout) {
  SetUnhintedFonts(cr);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);

  for (const FigureFill& fill : layout.fills) {
    if (fill.points.size() < 3) continue;
    cairo_new_path(cr);
    for (const FigurePoint& p : fill.points) cairo_line_to(cr, p.x, p.y);
    cairo_close_path(cr);
    SetColour(cr, fill.colour, fill.opacity);
    cairo_fill(cr);
  }

  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
  for (const FigureLine& line : layout.lines) {
    if (line.points.size() < 2 || line.style == 5) continue;
    std::vector<double> dashes;
    for (double d : PenDashPattern(line.style)) dashes.push_back(d * kFigureDashScale);
    cairo_set_dash(cr, dashes.data(), static_cast<int>(dashes.size()), 0);
    cairo_set_line_width(cr, line.width);
    cairo_new_path(cr);
    for (const FigurePoint& p : line.points) cairo_line_to(cr, p.x, p.y);
    SetColour(cr, line.colour, 1);
    cairo_stroke(cr);
  }
  cairo_set_dash(cr, nullptr, 0, 0);

  cairo_set_source_rgb(cr, 0, 0, 0);
  for (const FigureText& t : layout.texts) {
    if (t.text.empty()) continue;
    const std::string utf8 = t.utf8 ? t.text : Cp932ToUtf8(t.text);
    const double width = Advance(cr, utf8, t.size);
    double dx = 0;
    if (t.anchor == TextAnchor::Centre) dx = -width / 2;
    if (t.anchor == TextAnchor::Right) dx = -width;
    cairo_save(cr);
    cairo_translate(cr, t.x, t.y);
    if (t.vertical) cairo_rotate(cr, -std::numbers::pi / 2);
    cairo_move_to(cr, dx, 0);
    ShowRuns(cr, utf8, t.size);
    cairo_restore(cr);
  }
}

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

void PutBigEndian(std::string& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

// The pHYs chunk that tells image programs the PNG's resolution, placed right after the
// header chunk (8 bytes of signature and 25 of IHDR).
std::string WithResolution(const std::string& png, int dpi) {
  std::string body = "pHYs";
  PutBigEndian(body, DotsPerMetre(dpi));
  PutBigEndian(body, DotsPerMetre(dpi));
  body.push_back(1);  // unit: metre
  std::string chunk;
  PutBigEndian(chunk, 9);
  chunk += body;
  PutBigEndian(chunk, static_cast<std::uint32_t>(
                          crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
  constexpr std::size_t kAfterHeader = 33;
  if (png.size() < kAfterHeader) return png;
  return png.substr(0, kAfterHeader) + chunk + png.substr(kAfterHeader);
}

}  // namespace

cairo_status_t WriteToOutFile(void* closure, const unsigned char* data, unsigned int length) {
  const bool written = static_cast<OutFile*>(closure)->Write({reinterpret_cast<const char*>(data), length});
  return written ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

std::string CommitDrawing(OutFile& file, cairo_status_t status) {
  // A drawing the library gave up on is as partial as a failed write: it replaces no file.
  const bool writeFailed = file.Error() != 0;
  if (status != CAIRO_STATUS_SUCCESS) file.Failed(EIO);
  std::string error = file.Commit();
  if (!writeFailed && status != CAIRO_STATUS_SUCCESS) error = "cannot draw: " + std::string(cairo_status_to_string(status));
  return error;
}

double CairoTextWidth(std::string_view bytes, double size) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
  cairo_t* cr = cairo_create(surface);
  SetUnhintedFonts(cr);
  const double width = Advance(cr, Cp932ToUtf8(bytes), size);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  return width;
}

void ReleaseFontCaches() {
  cairo_debug_reset_static_data();
  FcFini();
}

std::string RasterFigure(const FigureLayout& layout, FigureFormat format, int dpi, cairo_status_t& status) {
  const double scale = static_cast<double>(dpi) / kFigureDpi;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(std::lround(layout.width * scale)),
                                                        static_cast<int>(std::lround(layout.height * scale)));
  cairo_t* cr = cairo_create(surface);
  cairo_scale(cr, scale, scale);
  Draw(cr, layout);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  std::string bytes;
  status = cairo_surface_status(surface);
  if (status == CAIRO_STATUS_SUCCESS && format == FigureFormat::Tiff) {
    bytes = TiffImage(cairo_image_surface_get_data(surface), cairo_image_surface_get_width(surface),
                      cairo_image_surface_get_height(surface), cairo_image_surface_get_stride(surface), dpi);
  } else if (status == CAIRO_STATUS_SUCCESS) {
    status = cairo_surface_write_to_png_stream(surface, AppendBytes, &bytes);
    if (status == CAIRO_STATUS_SUCCESS) bytes = WithResolution(bytes, dpi);
  }
  cairo_surface_destroy(surface);
  return bytes;
}

std::string WriteFigure(const FigureLayout& layout, FigureFormat format, OutFile& file) {
  cairo_status_t status = CAIRO_STATUS_SUCCESS;
  if (format == FigureFormat::Png || format == FigureFormat::Tiff) {
    const std::string bytes = RasterFigure(layout, format, kFigureDpi, status);
    if (status == CAIRO_STATUS_SUCCESS) file.Write(bytes);
  } else {
    const double w = layout.width * kPointsPerDot;
    const double h = layout.height * kPointsPerDot;
    // Written through our own stream: the library does not report every failed write of
    // its own file (a full disk left a truncated PDF and success).
    cairo_surface_t* surface = format == FigureFormat::Pdf ? cairo_pdf_surface_create_for_stream(WriteToOutFile, &file, w, h)
                                                           : cairo_svg_surface_create_for_stream(WriteToOutFile, &file, w, h);
    if (format == FigureFormat::Pdf) cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATOR, "Orvantis");
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, kPointsPerDot, kPointsPerDot);
    Draw(cr, layout);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
  }
  return CommitDrawing(file, status);
}

std::string WriteFigureFiles(const FigureLayout& layout, const std::string& dir, const std::string& stem) {
  const struct {
    FigureFormat format;
    const char* extension;
  } files[] = {{FigureFormat::Pdf, ".pdf"}, {FigureFormat::Svg, ".svg"}, {FigureFormat::Png, ".png"}, {FigureFormat::Tiff, ".tif"}};
  for (const auto& f : files) {
    OutFile file(dir, stem + f.extension);
    if (std::string error = WriteFigure(layout, f.format, file); !error.empty()) return error;
  }
  return {};
}

FigureLayout SurvivalFigureLayout(const Workspace& ws, const FigureSettings& settings) {
  FigureInput input = FigureInputOf(ws, ws.styles, ws.geometry.xMax, settings.bands);
  AddReviewerFigures(ws.run.reviewer, ws.cases, input);
  UseEnglishLabels(ws.cases, ws.groupLabels, ws.causeLabels, input);
  ApplyFigureSettings(settings, input);
  return LayoutPublicationFigure(input, CairoTextWidth);
}

FigureLayout IncidenceFigureLayout(const Workspace& ws, const FigureSettings& settings) {
  FigureInput input = IncidenceFigureInputOf(ws, ws.run.competing, ws.styles, ws.geometry.xMax, settings.bands);
  UseEnglishLabels(ws.cases, ws.groupLabels, ws.causeLabels, input);
  ApplyFigureSettings(settings, input);
  return LayoutPublicationFigure(input, CairoTextWidth);
}

std::string WriteFigures(const Workspace& ws, const FigureSettings& settings, const std::string& dir) {
  return WriteFigureFiles(SurvivalFigureLayout(ws, settings), dir, "figure");
}

}  // namespace orv::cli
