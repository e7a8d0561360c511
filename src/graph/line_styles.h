// Each group's line: whether it is drawn, its colour, pen style and bar width, and its pen.
#pragma once

#include <array>
#include <cstdint>

#include "platform/canvas.h"
#include "platform/colour.h"

namespace orv {

struct LineStyle {
  std::int32_t shown = 0;
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

// True when group g's curve, legend line and table rows are drawn and its cases take part
// in the tests.
inline bool Shown(const LineStyles& styles, int g) { return styles[g].shown == 1; }

// The defaults: all cases red dash-dot-dot, then black, red, blue, green in blocks of solid,
// dash, dash-dot, dash-dot-dot and dot; width 2; nothing shown.
void InitLineStyles(LineStyles& styles);
// A colour confirmed in the graph settings: the pen is made with the style ticked there.
void SetLineColour(LineStyles& styles, int g, Rgb colour, int style);
// OK of the graph settings: style and width stored, pen remade.
void SetLineStyle(LineStyles& styles, int g, int style, int width, Rgb colour);

}  // namespace orv
