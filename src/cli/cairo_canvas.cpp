// The canvas interface drawn with Cairo.
#include "cli/cairo_canvas.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "cli/encoding.h"
#include "graph/line_styles.h"

namespace orv::cli {
namespace {

constexpr int kNullPen = 5;

bool HasHighBytes(std::string_view bytes) {
  return std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

}  // namespace

const char* FontFamilyFor(std::string_view face, std::string_view bytes) {
  if (face == "Arial" && !HasHighBytes(bytes)) return "Liberation Sans";
  return "IPAGothic";
}

CairoCanvas::CairoCanvas(cairo_t* cr, int width, int height, bool crisp)
    : cr_(cr), width_(width), height_(height), crisp_(crisp) {
  cairo_set_antialias(cr_, crisp_ ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_DEFAULT);
  cairo_set_line_width(cr_, 1.0);
  cairo_set_line_cap(cr_, CAIRO_LINE_CAP_BUTT);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_set_font_options(cr_, options);
  cairo_font_options_destroy(options);
}

void CairoCanvas::SetSource(Rgb colour) {
  cairo_set_source_rgb(cr_, RedOf(colour) / 255.0, GreenOf(colour) / 255.0, BlueOf(colour) / 255.0);
}

void CairoCanvas::SelectFont(const FontSpec* font) {
  if (font == nullptr) {
    font_.reset();
  } else {
    font_ = *font;
  }
}

void CairoCanvas::MoveTo(int x, int y) {
  curX_ = x;
  curY_ = y;
  dashPhase_ = 0;
}

void CairoCanvas::StrokeSegment(double x1, double y1, double x2, double y2, double length) {
  std::span<const double> dashes = PenDashPattern(pen_.style);
  cairo_new_path(cr_);
  cairo_move_to(cr_, x1, y1);
  cairo_line_to(cr_, x2, y2);
  if (!dashes.empty() && bkMode_ == BkMode::Opaque) {
    // An opaque background fills the gaps of a styled pen, as GDI does.
    cairo_set_dash(cr_, nullptr, 0, 0);
    SetSource(bkColour_);
    cairo_stroke_preserve(cr_);
  }
  cairo_set_dash(cr_, dashes.data(), static_cast<int>(dashes.size()), dashPhase_);
  SetSource(pen_.colour);
  cairo_stroke(cr_);
  cairo_set_dash(cr_, nullptr, 0, 0);
  dashPhase_ += length;
}

void CairoCanvas::LineTo(int x, int y) {
  const int x0 = curX_;
  const int y0 = curY_;
  curX_ = x;
  curY_ = y;
  if (pen_.style == kNullPen || (x0 == x && y0 == y)) return;
  // A one-pixel line covers the pixels from its start up to, not including, its end. Pixel
  // i spans [i, i + 1], so a line going right or down runs from edge x0 to edge x, and one
  // going left or up from edge x0 + 1 to edge x + 1.
  if (y0 == y) {
    const double shift = x > x0 ? 0.0 : 1.0;
    StrokeSegment(x0 + shift, y + 0.5, x + shift, y + 0.5, std::abs(x - x0));
  } else if (x0 == x) {
    const double shift = y > y0 ? 0.0 : 1.0;
    StrokeSegment(x + 0.5, y0 + shift, x + 0.5, y + shift, std::abs(y - y0));
  } else {
    // Pixel centre to pixel centre, stopping one step short of the end point.
    const int steps = std::max(std::abs(x - x0), std::abs(y - y0));
    const double ex = x - static_cast<double>(x - x0) / steps;
    const double ey = y - static_cast<double>(y - y0) / steps;
    StrokeSegment(x0 + 0.5, y0 + 0.5, ex + 0.5, ey + 0.5, steps);
  }
}

void CairoCanvas::TextOut(int x, int y, std::string_view bytes) {
  if (bytes.empty()) return;
  const std::string face = font_ ? font_->face : std::string();
  const bool bold = font_ && font_->weight >= 600;
  cairo_select_font_face(cr_, FontFamilyFor(face, bytes), CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  const int height = font_ ? font_->height : 0;
  double size = kDefaultFontPixels;
  if (height < 0) {
    size = -height;  // a character height
  } else if (height > 0) {
    // A cell height: scale the em so that ascent plus descent fill it.
    cairo_set_font_size(cr_, 1.0);
    cairo_font_extents_t unit;
    cairo_font_extents(cr_, &unit);
    const double cell = unit.ascent + unit.descent;
    size = cell > 0 ? height / cell : height;
  }
  cairo_set_font_size(cr_, size);
  cairo_font_extents_t fe;
  cairo_font_extents(cr_, &fe);
  const std::string utf8 = Cp932ToUtf8(bytes);
  cairo_text_extents_t te;
  cairo_text_extents(cr_, utf8.c_str(), &te);
  if (bkMode_ == BkMode::Opaque) {
    cairo_new_path(cr_);
    cairo_rectangle(cr_, x, y, te.x_advance, fe.ascent + fe.descent);
    SetSource(bkColour_);
    cairo_fill(cr_);
  }
  cairo_new_path(cr_);
  cairo_move_to(cr_, x, y + fe.ascent);
  SetSource(textColour_);
  cairo_show_text(cr_, utf8.c_str());
  cairo_new_path(cr_);
}

void CairoCanvas::FillRect(const Rect& rect, Rgb colour) {
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  cairo_new_path(cr_);
  cairo_rectangle(cr_, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  SetSource(colour);
  cairo_fill(cr_);
}

}  // namespace orv::cli
