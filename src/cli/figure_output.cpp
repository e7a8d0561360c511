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
#include "graph/line_styles.h"

namespace orv::cli {
namespace {

// Points per dot: the vector formats are sized in points.
constexpr double kPointsPerDot = 72.0 / kFigureDpi;
// A PNG states its resolution in pixels per metre.
constexpr std::uint32_t kDotsPerMetre = 11811;  // 300 dpi

void SelectFont(cairo_t* cr, const char* family, double size) {
  cairo_select_font_face(cr, family, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
}

void SelectFont(cairo_t* cr, std::string_view bytes, double size) { SelectFont(cr, FontFamilyFor("Arial", bytes), size); }

// A UTF-8 text in the Latin font unless it holds a character from U+3000 on (kana, kanji):
// its dashes and marks the Latin font has.
const char* Utf8FontFamily(std::string_view utf8) {
  for (char c : utf8) {
    if (static_cast<unsigned char>(c) >= 0xE3) return "IPAGothic";
  }
  return "Liberation Sans";
}

void SetUnhintedFonts(cairo_t* cr) {
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
}

double Advance(cairo_t* cr, const std::string& utf8) {
  cairo_text_extents_t te;
  cairo_text_extents(cr, utf8.c_str(), &te);
  return te.x_advance;
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
    if (t.utf8) {
      SelectFont(cr, Utf8FontFamily(utf8), t.size);
    } else {
      SelectFont(cr, t.text, t.size);
    }
    const double width = Advance(cr, utf8);
    double dx = 0;
    if (t.anchor == TextAnchor::Centre) dx = -width / 2;
    if (t.anchor == TextAnchor::Right) dx = -width;
    cairo_save(cr);
    cairo_translate(cr, t.x, t.y);
    if (t.vertical) cairo_rotate(cr, -std::numbers::pi / 2);
    cairo_move_to(cr, dx, 0);
    cairo_show_text(cr, utf8.c_str());
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

// The pHYs chunk that tells image programs the PNG is 300 dpi, placed right after the
// header chunk (8 bytes of signature and 25 of IHDR).
std::string WithResolution(const std::string& png) {
  std::string body = "pHYs";
  PutBigEndian(body, kDotsPerMetre);
  PutBigEndian(body, kDotsPerMetre);
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
  SelectFont(cr, bytes, size);
  const double width = Advance(cr, Cp932ToUtf8(bytes));
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  return width;
}

void ReleaseFontCaches() {
  cairo_debug_reset_static_data();
  FcFini();
}

std::string WriteFigure(const FigureLayout& layout, FigureFormat format, OutFile& file) {
  cairo_status_t status = CAIRO_STATUS_SUCCESS;
  if (format == FigureFormat::Png) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(layout.width),
                                                          static_cast<int>(layout.height));
    cairo_t* cr = cairo_create(surface);
    Draw(cr, layout);
    cairo_destroy(cr);
    std::string png;
    status = cairo_surface_write_to_png_stream(surface, AppendBytes, &png);
    cairo_surface_destroy(surface);
    if (status == CAIRO_STATUS_SUCCESS) file.Write(WithResolution(png));
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
  } files[] = {{FigureFormat::Pdf, ".pdf"}, {FigureFormat::Svg, ".svg"}, {FigureFormat::Png, ".png"}};
  for (const auto& f : files) {
    OutFile file(dir, stem + f.extension);
    if (std::string error = WriteFigure(layout, f.format, file); !error.empty()) return error;
  }
  return {};
}

std::string WriteFigures(const Workspace& ws, bool bands, FigurePalette palette, const std::string& dir) {
  FigureInput input = FigureInputOf(ws, ws.styles, ws.geometry.xMax, bands);
  AddReviewerFigures(ws.run.reviewer, ws.cases, input);
  UseEnglishLabels(ws.cases, ws.groupLabels, ws.causeLabels, input);
  ApplyFigurePalette(palette, input);
  return WriteFigureFiles(LayoutPublicationFigure(input, CairoTextWidth), dir, "figure");
}

}  // namespace orv::cli
