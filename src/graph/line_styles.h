// Each group's line: its colour, pen style and bar width, and its pen. Whether it is drawn
// is the shown groups' GroupSet.
#pragma once

#include <span>

#include <array>
#include <cstdint>

#include "platform/canvas.h"
#include "platform/colour.h"

namespace orv {

struct LineStyle {
  Rgb colour = kBlack;
  std::int32_t style = 0;  // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot
  std::int32_t width = 2;  // pixel rows of horizontal segments, 1..5
  Pen pen;                 // style and colour as one value; always one pixel wide
};

inline constexpr std::array<int, 6> DefaultStyleOrder = {5, 0, 1, 3, 4, 2};

struct LineStyles {
  std::array<LineStyle, 26> records{};
  LineStyle& operator[](int g) { return records[static_cast<std::size_t>(g)]; }
  const LineStyle& operator[](int g) const { return records[static_cast<std::size_t>(g)]; }
};

// The length in pixels of one period of a pen style's dashes as a one-pixel pen draws them
// (dash 18 on 6 off, dot 3/3, dash-dot 9/6/3/6, dash-dot-dot 9/3/3/3/3/3): a line sample
// shorter than this cannot show which style it is. A solid line's is one pixel; style 5 draws
// nothing and has none.
int DashPeriod(int style);

// The dash pattern of a pen style, on and off lengths in pixels, as GDI's cosmetic pens draw
// them (dash 18/6, dot 3/3, dash-dot 9/6/3/6, dash-dot-dot 9/3/3/3/3/3); empty for solid and
// for style 5, which draws nothing. The figures draw them kFigureDashScale times as long.
std::span<const double> PenDashPattern(int style);
inline constexpr double kFigureDashScale = 3;
inline constexpr int kLongestDashPeriod = 24;

// The defaults: all cases red dash-dot-dot, then black, red, blue, green in blocks of solid,
// dash, dash-dot, dash-dot-dot and dot; width 2.
void InitLineStyles(LineStyles& styles);
// A colour confirmed in the graph settings: the pen is made with the style ticked there.
void SetLineColour(LineStyles& styles, int g, Rgb colour, int style);
// OK of the graph settings: style and width stored, pen remade.
void SetLineStyle(LineStyles& styles, int g, int style, int width, Rgb colour);

}  // namespace orv
