// Default line styles and the two ways the graph settings change them.
#include "graph/line_styles.h"

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

int DashPeriod(int style) {
  switch (style) {
    case 0: return 1;
    case 2: return 6;
    case 1:
    case 3:
    case 4: return kLongestDashPeriod;
    default: return 0;
  }
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
