// The size of the plot area of the main graph and the range of weeks it shows; the range is
// also the range of every test.
#pragma once

#include <cstdint>
#include <string>

#include "text/period_text.h"

namespace orv {

struct PlotGeometry {
  std::uint16_t left = 80;
  std::uint16_t top = 50;
  std::uint16_t width = 770;
  std::uint16_t height = 550;
  double pixelsPerWeek = 770.0 / 120.0;
  std::int32_t xMax = kWeeksPerTenYears;
  std::uint16_t tickStep = 0;
  std::string unitLabel;
  std::uint16_t labelDivisor = 51;
};

}  // namespace orv
