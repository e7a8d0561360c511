// Default line styles and the two ways the graph settings change them.
#include "graph/line_styles.h"

#include <array>

namespace orv {

void InitLineStyles(LineStyles& styles) {
  for (int g = 0; g <= 20; ++g) styles[g].width = 2;
  styles[0].colour = kRed;
  styles[0].style = DefaultStyleOrder[4];
  styles[0].pen = Pen{styles[0].style, styles[0].colour};
  constexpr Rgb blockColours[4] = {kBlack, kRed, kBlue, kGreen};
  for (int a = 0; a <= 4; ++a) {
    for (int i = 0; i < 4; ++i) {
      LineStyle& s = styles[4 * a + 1 + i];
      s.colour = blockColours[i];
      s.style = DefaultStyleOrder[static_cast<std::size_t>(a + 1)];
      s.pen = Pen{s.style, s.colour};
    }
  }
  // Records 21 to 25 are never drawn; they keep the values the settings table gives them.
  styles[21].colour = kWhite;
  styles[21].width = 0;
  styles[21].pen = Pen{5, kWhite};
  for (int g = 22; g <= 25; ++g) {
    styles[g].colour = kBlack;
    styles[g].style = 0;
    styles[g].width = 0;
    styles[g].pen = Pen{0, kBlack};
  }
}

namespace {

constexpr std::array<double, 2> kDash = {18, 6};
constexpr std::array<double, 2> kDot = {3, 3};
constexpr std::array<double, 4> kDashDot = {9, 6, 3, 6};
constexpr std::array<double, 6> kDashDotDot = {9, 3, 3, 3, 3, 3};

}  // namespace

std::span<const double> PenDashPattern(int style) {
  switch (style) {
    case 1: return kDash;
    case 2: return kDot;
    case 3: return kDashDot;
    case 4: return kDashDotDot;
    default: return {};
  }
}

int DashPeriod(int style) {
  if (style == 0) return 1;
  double period = 0;
  for (double d : PenDashPattern(style)) period += d;
  return static_cast<int>(period);
}

void SetLineColour(LineStyles& styles, int g, Rgb colour, int style) {
  styles[g].colour = colour;
  styles[g].pen = Pen{style, colour};
}

void SetLineStyle(LineStyles& styles, int g, int style, int width, Rgb colour) {
  styles[g].style = style;
  styles[g].width = width;
  styles[g].pen = Pen{style, colour};
}

}  // namespace orv
