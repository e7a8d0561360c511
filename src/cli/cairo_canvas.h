// The canvas interface drawn with Cairo, so the batch command can write the graph and the
// view windows as PNG and SVG images that look as the Windows program draws them.
//
// It follows the Windows drawing rules that the core relies on: one-pixel cosmetic pens in
// GDI's dash patterns, a line's end point left out, text placed by the top-left corner of
// its cell (on a filled box when the background mode is opaque), rectangles without their
// right and bottom edges. Pen style 5 draws nothing. A dash pattern starts afresh at every
// MoveTo and runs on across consecutive LineTo calls.
#pragma once

#include <cairo.h>

#include <optional>
#include <span>
#include <string_view>

#include "platform/canvas.h"

namespace orv::cli {


// The character height in pixels of the surface's default font, used when no font is
// selected (the views draw in the window's default font).
inline constexpr int kDefaultFontPixels = 16;

// The font family a face and a text are drawn with: any text holding bytes above 0x7F, and
// any face but Arial, in a Japanese font; Arial in a metric-compatible sans font.
const char* FontFamilyFor(std::string_view face, std::string_view bytes);

class CairoCanvas : public Canvas {
 public:
  // Draws into `cr`, whose surface is width x height pixels. `crisp` turns antialiasing of
  // lines and fills off (raster images); text keeps its smoothing.
  CairoCanvas(cairo_t* cr, int width, int height, bool crisp);

  void SelectPen(const Pen& pen) override { pen_ = pen; }
  void SelectFont(const FontSpec* font) override;
  void SetTextColour(Rgb colour) override { textColour_ = colour; }
  void SetBkColour(Rgb colour) override { bkColour_ = colour; }
  void SetBkMode(BkMode mode) override { bkMode_ = mode; }
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void TextOut(int x, int y, std::string_view bytes) override;
  void FillRect(const Rect& rect, Rgb colour) override;
  Rect ClientRect() const override { return {0, 0, width_, height_}; }

 private:
  void SetSource(Rgb colour);
  void StrokeSegment(double x1, double y1, double x2, double y2, double length);

  cairo_t* cr_;
  int width_;
  int height_;
  bool crisp_;
  Pen pen_;
  std::optional<FontSpec> font_;
  Rgb textColour_ = kBlack;
  Rgb bkColour_ = kWhite;
  BkMode bkMode_ = BkMode::Opaque;
  int curX_ = 0;
  int curY_ = 0;
  double dashPhase_ = 0;
};

}  // namespace orv::cli
