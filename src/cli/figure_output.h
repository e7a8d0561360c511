// The publication figure drawn with Cairo: figure.pdf (real, searchable text), figure.svg,
// and figure.png and figure.tif at 300 dpi.
#pragma once

#include <cairo.h>

#include <string>

#include "cli/output_stream.h"
#include "session/workspace.h"
#include "graph/publication_figure.h"

namespace orv::cli {

enum class FigureFormat { Pdf, Svg, Png, Tiff };

// Widths of texts in the fonts the figure is drawn with (Liberation Sans, and IPAPGothic for
// the runs of Japanese characters), with hinting off so that a width scales with the size.
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

// The layout drawn at dpi as a PNG (its resolution in a pHYs chunk) or a TIFF; `status` says
// whether the library drew it.
std::string RasterFigure(const FigureLayout& layout, FigureFormat format, int dpi, cairo_status_t& status);

// Writes the layout in one format, a raster at 300 dpi, into the file and commits it. Empty on
// success, else the error line naming the file.
std::string WriteFigure(const FigureLayout& layout, FigureFormat format, OutFile& file);

// The layout as STEM.pdf, STEM.svg, STEM.png and STEM.tif in `dir`. Empty on success, else the
// error line.
std::string WriteFigureFiles(const FigureLayout& layout, const std::string& dir, const std::string& stem);

// The figures of the workspace's shown groups, measured in the fonts they are drawn with: the
// survival figure with the reviewer's log-rank p, events/cases and footnote, and the cumulative
// incidence figure, each in the settings.
FigureLayout SurvivalFigureLayout(const Workspace& ws, const FigureSettings& settings);
FigureLayout IncidenceFigureLayout(const Workspace& ws, const FigureSettings& settings);

// figure.pdf, .svg, .png and .tif of the survival figure into `dir`. Empty on success, else the
// error line.
std::string WriteFigures(const Workspace& ws, const FigureSettings& settings, const std::string& dir);

}  // namespace orv::cli
