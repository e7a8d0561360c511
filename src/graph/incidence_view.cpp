// The cumulative incidence view.
#include "graph/incidence_view.h"

#include <algorithm>
#include <cmath>

#include "graph/incidence_figure.h"
#include "text/truncate.h"

namespace orv {

namespace {

int Px(double dots) { return TruncToInt32(std::floor(dots * kIncidenceViewScale + 0.5)); }

const FontSpec& ViewFont() {
  static const FontSpec font{"ＭＳ Ｐゴシック", -Px(kFigureTextSize), 400, 128};
  return font;
}

void DrawLine(const FigureLine& line, Canvas& canvas) {
  if (line.points.size() < 2) return;
  canvas.SelectPen({line.style, line.colour});
  const int thickness = std::max(1, Px(line.width));
  // One-pixel pens side by side, shifted along both axes so that steps and risers both widen.
  for (int k = 0; k < thickness; ++k) {
    canvas.MoveTo(Px(line.points[0].x) + k, Px(line.points[0].y) + k);
    for (std::size_t i = 1; i < line.points.size(); ++i) canvas.LineTo(Px(line.points[i].x) + k, Px(line.points[i].y) + k);
  }
}

void DrawText(const FigureText& text, const FigureLayout& layout, Canvas& canvas) {
  if (text.utf8) return;
  const int height = Px(text.size);
  if (text.vertical) {
    canvas.TextOut(Px(layout.plotLeft) + height / 2, Px(layout.plotTop), text.text);
    return;
  }
  const int width = Px(EstimatedTextWidth(text.text, text.size));
  int x = Px(text.x);
  if (text.anchor == TextAnchor::Centre) x -= width / 2;
  if (text.anchor == TextAnchor::Right) x -= width;
  // The baseline lies about four fifths of the height below the top.
  canvas.TextOut(x, Px(text.y) - height * 4 / 5, text.text);
}

}  // namespace

FigureLayout IncidenceViewLayout(const AnalysisResults& r, const CompetingRisks& c, const LineStyles& styles, int xMax) {
  return LayoutPublicationFigure(IncidenceFigureInputOf(r, c, styles, xMax, false), EstimatedTextWidth);
}

void DrawIncidenceView(const AnalysisResults& r, const CompetingRisks& c, const LineStyles& styles, int xMax,
                       Canvas* canvas) {
  if (canvas == nullptr) return;
  canvas->FillRect(canvas->ClientRect(), kWhite);
  canvas->SelectFont(&ViewFont());
  canvas->SetTextColour(kBlack);
  canvas->SetBkMode(BkMode::Transparent);
  if (!c.active) {
    canvas->TextOut(20, 20, kNoCompetingCause);
    canvas->SelectFont(nullptr);
    return;
  }
  const FigureLayout layout = IncidenceViewLayout(r, c, styles, xMax);
  for (const FigureLine& line : layout.lines) DrawLine(line, *canvas);
  for (const FigureText& text : layout.texts) DrawText(text, layout, *canvas);
  canvas->SelectFont(nullptr);
}

}  // namespace orv
