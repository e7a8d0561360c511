// Layout shared by the graph, the legend, the tables and the survival-rate view: row height,
// label character width, screen coordinates and right-aligned number cells.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "graph/plot_geometry.h"

namespace orv {

// Height of one row in every view window.
inline constexpr int kRowHeight = 40;
// Labels are placed as if every character were this wide: the label font's 140 tenths of a
// point divided by 20.
inline constexpr int kLabelCharWidth = 140 / 20;

// Screen coordinates are unsigned 16-bit values; these wrap exactly as the platform's do and
// hand the result on as an int.
int Coord(double value);
int Coord(std::int64_t value);
inline int Coord(int value) { return Coord(static_cast<std::int64_t>(value)); }

// The Y coordinate `rows` row heights below the top of a view.
inline int RowY(double rows) { return Coord(rows * kRowHeight); }

// Pixels per week of the plot: width / xMax. A range that is not positive has no width to
// spread over, so every week then lies on the Y axis rather than at an infinite position.
double PixelsPerWeek(const PlotGeometry& geometry);

// The last `width` bytes of `width` blanks followed by the text: right-aligned, and cut on
// the left when the text is longer.
std::string RightAligned(std::string_view text, std::size_t width);

// A table cell: the number right-aligned in five characters ("    7").
std::string CellText(double value);

}  // namespace orv
