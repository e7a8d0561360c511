// The publication figure's shape list drawn through GDI, and the files and clipboard formats
// made from it: a bitmap at 300 or 600 dpi (PNG and TIFF through GDI+, with the resolution in
// the file), an enhanced metafile whose texts are text records, and SVG.
//
// Every drawing maps the figure's 2008 x 1417 dots onto its target rectangle, so that the
// window, a bitmap, a metafile and a printed page draw the same list at their own scale.
#pragma once

#include "app/win32.h"

#include <string>

#include "graph/publication_figure.h"
#include "session/workspace.h"

namespace orv::app {

// Widths of texts in the fonts DrawFigure uses, in dots.
class FigureTextMeasure {
 public:
  FigureTextMeasure();
  ~FigureTextMeasure();
  FigureTextMeasure(const FigureTextMeasure&) = delete;
  FigureTextMeasure& operator=(const FigureTextMeasure&) = delete;
  double operator()(std::string_view bytes, double size) const;

 private:
  HDC dc_;
};

// The batch command's figure of the last run: the survival figure with the reviewer's
// figures, or with `incidence` and a cause counted as censored the cumulative incidence
// figure; in the settings (by default the Okabe-Ito colours, no bands, the time axis after the
// range, the figure's own Y range, censor marks).
FigureInput FigureInputFor(const Workspace& ws, bool incidence, const FigureSettings& settings = {});
FigureLayout LayoutWithGdiFonts(const FigureInput& input);

// The figure into the rectangle (x, y, width, height) of the device context, its mapping mode
// and objects as they were afterwards.
void DrawFigure(HDC dc, const FigureLayout& layout, int x, int y, int width, int height);

// Pixels of the figure at a resolution: 2008 x 1417 at 300 dpi.
SIZE FigurePixels(int dpi);

// A PNG or TIFF file's bytes at dpi, the resolution recorded; empty when the encoder failed.
std::string FigureRaster(const FigureLayout& layout, int dpi, bool tiff);

// The figure as a packed DIB (BITMAPINFOHEADER and bottom-up 24-bit rows) at dpi, for the
// clipboard; null when memory ran out.
HGLOBAL FigureDib(const FigureLayout& layout, int dpi);

// The figure recorded in an enhanced metafile of 170 x 120 mm; the caller deletes it.
HENHMETAFILE FigureMetafile(const FigureLayout& layout);
std::string MetafileBytes(HENHMETAFILE metafile);

// The figure as an SVG document in UTF-8, 170 x 120 mm, its texts as <text> elements.
std::string FigureSvg(const FigureLayout& layout);

}  // namespace orv::app
