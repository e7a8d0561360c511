// The publication figure drawn with Cairo: figure.pdf (real, searchable text), figure.svg
// and figure.png at 300 dpi.
#pragma once

#include <cairo.h>

#include <string>

#include "cli/output_stream.h"
#include "session/workspace.h"
#include "graph/publication_figure.h"

namespace orv::cli {

enum class FigureFormat { Pdf, Svg, Png };

// Widths of texts in the fonts the figure is drawn with (Liberation Sans, IPAGothic for any
// text with Japanese in it), with hinting off so that a width scales with the size.
double CairoTextWidth(std::string_view bytes, double size);

// Cairo's write function into the OutFile given as its closure: a refused write stops the
// drawing's output.
cairo_status_t WriteToOutFile(void* closure, const unsigned char* data, unsigned int length);

// Commits the file after Cairo wrote it with `status`. A failed write is named with its
// reason; any other failure of the library in the library's words.
std::string CommitDrawing(OutFile& file, cairo_status_t status);

// Releases the font lists Cairo and Fontconfig keep once loaded, at the end of a process's
// drawing, so that a leak check sees only the program's own memory. A later measure or
// drawing loads them afresh, and would then hold them again until the next release.
void ReleaseFontCaches();

// Writes the layout in one format into the file and commits it. Empty on success, else the
// error line naming the file.
std::string WriteFigure(const FigureLayout& layout, FigureFormat format, OutFile& file);

// The layout as STEM.pdf, STEM.svg and STEM.png in `dir`. Empty on success, else the error line.
std::string WriteFigureFiles(const FigureLayout& layout, const std::string& dir, const std::string& stem);
// figure.pdf, figure.svg and figure.png of the workspace's shown groups into `dir`, with the
// reviewer's log-rank p, events/cases and footnote, in `palette`; with `bands`, each curve's
// 95 % band. Empty on success, else the error line.
std::string WriteFigures(const Workspace& ws, bool bands, FigurePalette palette, const std::string& dir);

}  // namespace orv::cli
