// The survival graph's frame: drawing primitives, the X range rules, both axes with their
// ticks, numbers and unit, and the 50 % line.
#include "graph/plot_frame.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "graph/view_layout.h"
#include "text/number_text.h"
#include "text/period_text.h"
#include "text/truncate.h"

namespace orv {

namespace {

constexpr Pen kAxisPen{0, kBlack};
constexpr int kLabelFontHeight = 28;

void DrawXAxis(const PlotGeometry& geo, Canvas& c) {
  const int left = geo.left;
  const int axisY = Coord(geo.top + geo.height);

  c.SelectPen(kAxisPen);
  DrawHBar(c, left, Coord(geo.top + geo.height / 2.0), Coord(geo.left + geo.width), 1);
  DrawHBar(c, left, axisY, Coord(geo.left + geo.width), 4);

  for (std::int64_t t = geo.tickStep; t <= geo.xMax; t += geo.tickStep) {
    const int x = Coord(TruncToInt64(static_cast<double>(t) * geo.pixelsPerWeek) + left);
    DrawVBar2(c, x, axisY, Coord(geo.top + geo.height - 5));
  }

  Rect strip = c.ClientRect();
  strip.top = strip.bottom - 95;
  c.FillRect(strip, kWhite);

  const FontSpec font = XLabelFont();
  c.SelectFont(&font);
  c.SetTextColour(kBlack);
  const int numbersY = Coord(geo.top + geo.height + 10);
  for (std::int64_t w = 0; w <= geo.xMax; w += geo.tickStep) {
    const std::string text = FormatNumber(std::floor(static_cast<double>(w) / geo.labelDivisor));
    const int tickX = Coord(left + static_cast<double>(w) * geo.pixelsPerWeek);
    DrawLabel(c, Coord(static_cast<std::int64_t>(tickX) - kLabelCharWidth * static_cast<std::int64_t>(text.size())),
              numbersY, text);
  }
  DrawLabel(c, Coord(left + geo.xMax * geo.pixelsPerWeek), Coord(geo.top + geo.height + 10 + kLabelFontHeight),
            geo.unitLabel);
  c.SelectFont(nullptr);
}

void DrawYAxis(const PlotGeometry& geo, Canvas& c) {
  c.SelectPen(kAxisPen);
  DrawVBar2(c, geo.left, geo.top, Coord(geo.top + geo.height + 4));

  const Rect client = c.ClientRect();
  c.FillRect({client.left, client.top, geo.left - 2, Coord(geo.top + geo.height)}, kWhite);

  const FontSpec font = YLabelFont();
  c.SelectFont(&font);
  c.SetTextColour(kBlack);
  // The half-way label's position is formed in single precision, as the line it sits on.
  const float halfY = static_cast<float>(geo.top) + static_cast<float>(geo.height) / 2.0f - 7.0f;
  DrawLabel(c, 50 - kLabelCharWidth * 2, Coord(static_cast<double>(halfY)), ".5");
  DrawLabel(c, 50 - kLabelCharWidth * 3, Coord(geo.top - 7), "1.0");
  c.SelectFont(nullptr);
}

}  // namespace

void DrawHBar(Canvas& c, int x1, int y, int x2, int n) {
  for (int i = 0; i < n; ++i) {
    c.MoveTo(x1, y + i);
    c.LineTo(x2 + 1, y + i);
  }
}

void DrawVBar2(Canvas& c, int x, int y1, int y2) {
  for (int column = x - 1; column <= x; ++column) {
    c.MoveTo(column, y1);
    c.LineTo(column, y2);
  }
}

void DrawCensorTick(Canvas& c, int x, int y) {
  for (int column = x - 1; column <= x; ++column) {
    c.MoveTo(column, y - 7);
    c.LineTo(column, y);
  }
}

void DrawLabel(Canvas& c, int x, int y, std::string_view text) { c.TextOut(x, y, text); }

void SetAxisRange(PlotGeometry& geo, int axisWeeks) {
  geo.xMax = axisWeeks;
  geo.labelDivisor = geo.xMax == kWeeksPerYear ? 1 : 51;
  geo.unitLabel = "(y)";
  if (geo.xMax > kWeeksPerTenYears) {
    geo.tickStep = kWeeksPerFiveYears;
  } else if (geo.xMax > kWeeksPerFiveYears) {
    geo.tickStep = 2 * kWeeksPerYear;
  } else if (geo.xMax > kWeeksPerYear) {
    geo.tickStep = kWeeksPerYear;
  } else {
    geo.tickStep = 8;
    geo.unitLabel = "(w)";
  }
}

void DrawAxes(const PlotGeometry& geometry, Canvas& graph) {
  DrawXAxis(geometry, graph);
  DrawYAxis(geometry, graph);
}

FontSpec XLabelFont() { return FontSpec{"Arial", -kLabelFontHeight, 0, 0}; }

FontSpec YLabelFont() { return FontSpec{"Arial", -kLabelFontHeight, 0, 0}; }

}  // namespace orv
