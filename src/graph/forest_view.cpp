// The forest plot view.
#include "graph/forest_view.h"

#include "graph/forest_plot.h"
#include "graph/incidence_view.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "text/truncate.h"

namespace orv {

namespace {

constexpr char kNoModel[] = "多変量解析のモデルがありません (グラフは2本以上必要です)";
constexpr char kNoDrawing[] = "描くハザード比がありません";

int Px(double dots) { return TruncToInt32(std::floor(dots * kForestViewScale + 0.5)); }

// The view's font at a text's size: the layout shrinks every text when its columns need room.
FontSpec ViewFont(double size = kFigureTextSize) { return {"ＭＳ Ｐゴシック", -std::max(Px(size), 1), 400, 128}; }

// The boxes of a forest plot are rectangles: a fill stands as the rectangle around its points.
void DrawFill(const FigureFill& fill, Canvas& canvas) {
  if (fill.points.empty()) return;
  Rect r{Px(fill.points[0].x), Px(fill.points[0].y), Px(fill.points[0].x), Px(fill.points[0].y)};
  for (const FigurePoint& p : fill.points) {
    r = {std::min(r.left, Px(p.x)), std::min(r.top, Px(p.y)), std::max(r.right, Px(p.x)), std::max(r.bottom, Px(p.y))};
  }
  canvas.FillRect(r, fill.colour);
}

void DrawText(const FigureText& text, Canvas& canvas) {
  // The window's font is code page 932: a UTF-8 text is left to the files.
  if (text.utf8) return;
  const FontSpec font = ViewFont(text.size);
  canvas.SelectFont(&font);
  const int measured = canvas.TextWidth(text.text);
  const int width = measured > 0 ? measured : Px(EstimatedTextWidth(text.text, text.size));
  int x = Px(text.x);
  if (text.anchor == TextAnchor::Centre) x -= width / 2;
  if (text.anchor == TextAnchor::Right) x -= width;
  // The baseline lies about four fifths of the height below the top.
  canvas.TextOut(x, Px(text.y) - Px(text.size) * 4 / 5, text.text);
}

}  // namespace

FigureLayout ForestViewLayout(const AnalysisResults& r, const TextMeasure& measure) {
  const ForestInput input = ForestInputOf(r);
  if (input.rows.empty()) return {.width = 0, .height = 0};
  return LayoutForestPlot(input, measure);
}

TextMeasure CanvasMeasure(const Canvas& canvas) {
  // Measured in the view's font at the figure's text size, scaled to the size asked.
  return [&canvas](std::string_view bytes, double size) {
    const int pixels = canvas.TextWidth(bytes);
    return pixels > 0 ? pixels / kForestViewScale * size / kFigureTextSize : EstimatedTextWidth(bytes, size);
  };
}

Rect ForestViewClient(const FigureLayout& layout) {
  return {0, 0, TruncToInt32(std::ceil(layout.width * kForestViewScale)) + 1,
          TruncToInt32(std::ceil(layout.height * kForestViewScale)) + 1};
}

void DrawForestLayout(const FigureLayout& layout, Canvas& canvas) {
  for (const FigureFill& fill : layout.fills) DrawFill(fill, canvas);
  for (const FigureLine& line : layout.lines) DrawFigureLine(line, kForestViewScale, canvas);
  for (const FigureText& text : layout.texts) DrawText(text, canvas);
}

void DrawForestView(const AnalysisResults& r, Canvas* canvas) {
  if (canvas == nullptr) return;
  canvas->FillRect(canvas->ClientRect(), kWhite);
  const FontSpec font = ViewFont();
  canvas->SelectFont(&font);
  canvas->SetTextColour(kBlack);
  canvas->SetBkMode(BkMode::Transparent);
  const FigureLayout layout = ForestViewLayout(r, CanvasMeasure(*canvas));
  if (layout.lines.empty() && layout.texts.empty()) {
    const AdjustedAnalysis& a = r.run.adjusted;
    canvas->TextOut(20, 20, !a.fitted ? std::string(kNoModel)
                            : !a.model.refusal.empty() ? "モデルを推定しません: " + a.model.refusal
                                                       : std::string(kNoDrawing));
  } else {
    DrawForestLayout(layout, *canvas);
  }
  canvas->SelectFont(nullptr);
}

}  // namespace orv
