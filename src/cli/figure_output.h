// The publication figure drawn with Cairo: figure.pdf (real, searchable text), figure.svg
// and figure.png at 300 dpi.
#pragma once

#include <string>

#include "session/workspace.h"
#include "graph/publication_figure.h"

namespace orv::cli {

enum class FigureFormat { Pdf, Svg, Png };

// Widths of texts in the fonts the figure is drawn with (Liberation Sans, IPAGothic for any
// text with Japanese in it), with hinting off so that a width scales with the size.
double CairoTextWidth(std::string_view bytes, double size);

// Writes the layout in one format. Empty on success, else the error line.
std::string WriteFigure(const FigureLayout& layout, FigureFormat format, const std::string& path);

// figure.pdf, figure.svg and figure.png of the workspace's shown groups into `dir`; with
// `bands`, each curve's 95 % band. Empty on success, else the error line.
std::string WriteFigures(const Workspace& ws, bool bands, const std::string& dir);

}  // namespace orv::cli
