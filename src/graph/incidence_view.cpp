// The cumulative incidence view.
#include "graph/incidence_view.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "graph/incidence_figure.h"
#include "text/truncate.h"

namespace orv {

namespace {

int Px(double dots) { return TruncToInt32(std::floor(dots * kIncidenceViewScale + 0.5)); }

const FontSpec& ViewFont() {
  static const FontSpec font{"ＭＳ Ｐゴシック", -Px(kFigureTextSize), 400, 128};
  return font;
}

void DrawText(const FigureText& text, Canvas& canvas) {
  if (text.utf8) return;
  const int width = Px(EstimatedTextWidth(text.text, text.size));
  int x = Px(text.x);
  if (text.anchor == TextAnchor::Centre) x -= width / 2;
  if (text.anchor == TextAnchor::Right) x -= width;
  // The baseline lies about four fifths of the height below the top.
  canvas.TextOut(x, Px(text.y) - Px(text.size) * 4 / 5, text.text);
}

// The figure's input laid out for the window, its words in Japanese ("Gray p" is a name and a
// symbol, and stays).
// The view keeps the whole scale, the years axis and no footnote or events/cases of the figure.
FigureInput ForWindow(FigureInput in) {
  in.forWindow = true;
  in.yTitle = "累積発生率";
  in.xTitle = "年";
  in.atRiskTitle = "リスク集団数";
  in.yRange = FigureYRange{};
  in.timeUnit = FigureTimeUnit::Years;
  in.testLastWeek = -1;
  for (FigureSeries& s : in.series) s.legendNote.clear();
  return in;
}

}  // namespace

void DrawFigureLine(const FigureLine& line, double scale, Canvas& canvas) {
  if (line.points.size() < 2) return;
  const auto px = [scale](double dots) { return TruncToInt32(std::floor(dots * scale + 0.5)); };
  canvas.SelectPen({line.style, line.colour});
  const int thickness = std::max(1, px(line.width));
  // One-pixel pens side by side, shifted along both axes so that steps and risers both widen.
  for (int k = 0; k < thickness; ++k) {
    canvas.MoveTo(px(line.points[0].x) + k, px(line.points[0].y) + k);
    for (std::size_t i = 1; i < line.points.size(); ++i) canvas.LineTo(px(line.points[i].x) + k, px(line.points[i].y) + k);
  }
}

FigureLayout IncidenceViewLayout(const AnalysisResults& r, const CompetingRisks& c, const LineStyles& styles, int xMax) {
  return LayoutPublicationFigure(ForWindow(IncidenceFigureInputOf(r, c, styles, xMax, false)), EstimatedTextWidth);
}

Rect IncidenceViewClient(const AnalysisResults& r, const LineStyles& styles, int xMax) {
  FigureInput in{.xMax = xMax, .pValue = "p=0.0000", .testName = "Gray"};  // as wide as any p of the test
  for (int g = 0; g <= LastGroup(r.cases); ++g) in.series.push_back(SeriesOf(r, styles, g, xMax));
  // Without curves the legend stands in the plot wherever it fits there; where the curves
  // cross every place in it, it stands beside a narrower plot in the same width.
  const FigureLayout layout = LayoutPublicationFigure(ForWindow(std::move(in)), EstimatedTextWidth);
  return {0, 0, TruncToInt32(std::ceil(layout.width * kIncidenceViewScale)) + 1,
          TruncToInt32(std::ceil(layout.height * kIncidenceViewScale)) + 1};
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
  for (const FigureLine& line : layout.lines) DrawFigureLine(line, kIncidenceViewScale, *canvas);
  for (const FigureText& text : layout.texts) DrawText(text, *canvas);
  canvas->SelectFont(nullptr);
}

}  // namespace orv
