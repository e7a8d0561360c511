// A drawing surface: the off-screen graph bitmap, the main window or a view window.
//
// The core draws every graph and table through this interface, in the platform's own terms:
// a selected pen, font, text colour and background, a current position, lines whose end
// point is not drawn, text placed by its top-left corner with its length in bytes, and
// rectangle fills. A pen is a value (style and colour, always one pixel wide); the
// implementation turns each value into its own platform pen and may keep it. A font
// selected here lives until the next font is selected; selecting no font returns to the
// surface's default font. Calls never fail and never throw: a surface that cannot draw
// ignores them. Coordinates are plain ints; callers pass the 16-bit values they computed.
#pragma once

#include <string>
#include <string_view>

#include "platform/colour.h"

namespace orv {

// Pen styles: 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 none.
struct Pen {
  int style = 0;
  Rgb colour = kBlack;
  bool operator==(const Pen&) const = default;
};

struct FontSpec {
  std::string face;
  int height = 0;  // negative: character height in pixels
  int weight = 0;
  int charset = 0;
  bool operator==(const FontSpec&) const = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const Rect&) const = default;
};

enum class BkMode { Transparent = 1, Opaque = 2 };

class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual void SelectPen(const Pen& pen) = 0;
  virtual void SelectFont(const FontSpec* font) = 0;
  virtual void SetTextColour(Rgb colour) = 0;
  virtual void SetBkColour(Rgb colour) = 0;
  virtual void SetBkMode(BkMode mode) = 0;
  virtual void MoveTo(int x, int y) = 0;
  virtual void LineTo(int x, int y) = 0;
  virtual void TextOut(int x, int y, std::string_view bytes) = 0;
  virtual void FillRect(const Rect& rect, Rgb colour) = 0;
  virtual Rect ClientRect() const = 0;
  // The width in pixels of a text in the font selected; 0 for a surface that cannot measure
  // (whose layout then never moves for a long label).
  virtual int TextWidth(std::string_view) const { return 0; }
  // The surface's content changed outside a paint: have it shown (the main window copies
  // its bitmap again). Surfaces that are the screen themselves ignore it.
  virtual void Invalidate() {}
};

// A canvas of a given size that keeps nothing of what is drawn on it: it stands in for a
// surface that does not exist, or whose drawing nobody needs, where the drawing code still
// has texts to write.
class DiscardingCanvas final : public Canvas {
 public:
  explicit DiscardingCanvas(Rect client = {}) : client_(client) {}
  void SelectPen(const Pen&) override {}
  void SelectFont(const FontSpec*) override {}
  void SetTextColour(Rgb) override {}
  void SetBkColour(Rgb) override {}
  void SetBkMode(BkMode) override {}
  void MoveTo(int, int) override {}
  void LineTo(int, int) override {}
  void TextOut(int, int, std::string_view) override {}
  void FillRect(const Rect&, Rgb) override {}
  Rect ClientRect() const override { return client_; }

 private:
  Rect client_;
};

}  // namespace orv
