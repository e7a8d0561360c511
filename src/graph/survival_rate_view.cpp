// The "生存率" view: one row per shown group with its survival figures, and below the rows
// the results of the group comparison tests.
#include "graph/survival_rate_view.h"

#include <algorithm>
#include <array>
#include <string>

#include "graph/label_columns.h"
#include "graph/plot_frame.h"
#include "graph/view_layout.h"
#include "words/format.h"
#include "text/number_text.h"

namespace orv {

namespace {

constexpr std::array<int, 6> kColumnX = {10, 320, 420, 520, 670, 760};
constexpr std::array<const char*, 6> kHeadings = {"groupe", " 5(y)", " 10(y)", "data max", " 50%", "graph max"};
constexpr int kPValueX = 100;
constexpr int kStatisticX = 200;

}  // namespace

void DrawSurvivalRateView(const AnalysisResults& r, const LineStyles& styles, int xMax, Canvas* canvas) {
  if (canvas == nullptr) return;
  Canvas& c = *canvas;
  c.FillRect(c.ClientRect(), kWhite);
  c.SetBkMode(BkMode::Opaque);
  c.SetTextColour(kBlack);
  c.SetBkColour(kWhite);
  c.SelectFont(nullptr);

  // The right end of the graph is worth a column only when it is not already the 5- or
  // 10-year column.
  const bool graphMaxColumn = xMax != kWeeksPerFiveYears && xMax != kWeeksPerTenYears;
  const int lastColumn = graphMaxColumn ? 5 : 4;
  const int headingY = RowY(0.8);
  const int shift = FitLabels(r, [&c](std::string_view text) { return c.TextWidth(text); }).survivalRate;
  for (int k = 1; k <= lastColumn; ++k) DrawLabel(c, kColumnX[k] + shift, headingY, kHeadings[k]);

  const int groups = LastGroup(r.cases);
  const auto& texts = r.texts;
  for (int g = 0; g <= groups; ++g) {
    if (!r.shown.Contains(g)) continue;
    const LineStyle& style = styles[g];
    c.SelectPen(style.pen);
    DrawHBar(c, 40 + shift, RowY(g + 2.2), 280 + shift, style.width);
    const int y = Coord((g + 2) * kRowHeight);
    DrawLabel(c, kColumnX[0], y, RightAligned(FormatNumber(g), 2) + ":   " + texts[g][kLabel] + "  ");
    for (int k = 1; k <= lastColumn; ++k) DrawLabel(c, kColumnX[k] + shift, y, texts[g][k]);
  }

  const GroupTestResults& tests = r.tests;
  const std::string petoLine = "Logrank( Peto & Peto ) χ2 = " + PetoStatisticText(tests.petoStatistic);
  if (tests.ShownGroupCount == 2) {
    int a = 0;
    int b = 0;
    for (int g = 1; g <= groups; ++g) {
      if (!r.shown.Contains(g)) continue;
      (a == 0 ? a : b) = g;
      if (b != 0) break;
    }
    if (b == 0) return;  // the count and the shown flags disagree: no pair to report
    const PairStats& pairs = tests.pairs;
    DrawLabel(c, kPValueX, RowY(groups + 3.5), PValueText(pairs.LogRankP[a][b]));
    DrawLabel(c, kStatisticX, RowY(groups + 3.5), "Logrank   χ2 = " + StatisticText(pairs.LogRankChi2[a][b]));
    DrawLabel(c, kPValueX, RowY(groups + 4.5), PValueText(pairs.WilcoxonP[a][b]));
    DrawLabel(c, kStatisticX, RowY(groups + 4.5), "General Wilcoxon χ2 = " + StatisticText(pairs.WilcoxonChi2[a][b]));
    if (!tests.overallTested) return;
    DrawLabel(c, kPValueX, RowY(groups + 5.5), PValueText(tests.petoP));
    DrawLabel(c, kStatisticX, RowY(groups + 5.5), petoLine);
  } else if (tests.ShownGroupCount > 2 && tests.overallTested) {
    DrawLabel(c, kPValueX, RowY(groups + 3.5), PValueText(tests.petoP));
    DrawLabel(c, kStatisticX, RowY(groups + 3.5), petoLine);
  }
}

}  // namespace orv
