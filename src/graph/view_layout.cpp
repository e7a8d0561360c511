// Screen coordinates and right-aligned cells.
#include "graph/view_layout.h"

#include "text/number_text.h"
#include "text/truncate.h"

namespace orv {

int Coord(double value) { return static_cast<int>(ToCoord(value)); }
int Coord(std::int64_t value) { return static_cast<int>(ToCoord(value)); }

double PixelsPerWeek(const PlotGeometry& geometry) {
  return geometry.xMax > 0 ? static_cast<double>(geometry.width) / geometry.xMax : 0.0;
}

std::string RightAligned(std::string_view text, std::size_t width) {
  std::string padded(width, ' ');
  padded.append(text);
  return padded.substr(padded.size() - width);
}

std::string CellText(double value) { return RightAligned(FormatNumber(value), 5); }

}  // namespace orv
