// The number-at-risk view, drawn straight into its window like the cumulative deaths table.
#include "graph/number_at_risk.h"

#include <algorithm>
#include <string>

#include "graph/label_columns.h"
#include "graph/plot_frame.h"
#include "graph/view_layout.h"
#include "text/number_text.h"

namespace orv {

namespace {

constexpr int kFirstColumnX = 330;
constexpr int kColumnPitch = 80;
constexpr int kMaxColumns = 11;


// A figure centred in a cell of five characters: "  3", "  96", " 307".
std::string CentredCell(double value) {
  const std::string text = FormatNumber(value);
  const std::size_t pad = text.size() >= 5 ? 0 : (5 - text.size() + 1) / 2;
  return std::string(pad, ' ') + text;
}

Count AtRiskAt(const AnalysisResults& r, int g, int year) {
  for (const AtRiskMark& m : r.figures.groups[static_cast<std::size_t>(g)].atRisk) {
    if (m.year == year) return m.n;
  }
  return 0;
}

}  // namespace

std::vector<int> NumberAtRiskYears(int xMax) {
  std::vector<int> years;
  if (xMax < 0) return years;
  const int lastYear = xMax / kWeeksPerYear;
  int step = 1;
  while (lastYear / step + 1 > kMaxColumns) step *= 2;
  for (int year = 0; year <= lastYear; year += step) years.push_back(year);
  return years;
}

void DrawNumberAtRisk(const AnalysisResults& r, const LineStyles& styles, int xMax, Canvas* canvas) {
  if (canvas == nullptr) return;
  Canvas& c = *canvas;
  c.FillRect(c.ClientRect(), kWhite);
  c.SetBkMode(BkMode::Opaque);
  c.SetBkColour(kWhite);
  c.SetTextColour(kBlack);
  c.SelectFont(nullptr);

  const std::vector<int> years = NumberAtRiskYears(xMax);
  const int shift = FitLabels(r, [&c](std::string_view text) { return c.TextWidth(text); }).numberAtRisk;
  const auto columnX = [shift](std::size_t k) { return Coord(static_cast<double>(k) * kColumnPitch + kFirstColumnX + shift); };
  const int headingY = RowY(0.6);
  for (std::size_t k = 0; k < years.size(); ++k) DrawLabel(c, columnX(k), headingY, CentredCell(years[k]));

  // Totals are held wide, as in the cumulative deaths table.
  std::vector<Count> totals(years.size(), 0);
  const int groups = std::clamp(r.cases.NumGroups, 0, kGroupSlots - 1);
  int row = 0;
  for (int g = 1; g <= groups; ++g) {
    if (!r.shown.Contains(g)) continue;
    const LineStyle& style = styles[g];
    ++row;
    c.SelectPen(style.pen);
    DrawHBar(c, 40 + shift, RowY(row + 1.2), 280 + shift, style.width);
    const int y = Coord((row + 1) * kRowHeight);
    for (std::size_t k = 0; k < years.size(); ++k) {
      const Count n = AtRiskAt(r, g, years[k]);
      DrawLabel(c, columnX(k), y, CentredCell(static_cast<double>(n)));
      totals[k] += n;
    }
    // Drawn last and opaque, the label covers the start of the line sample.
    DrawLabel(c, 10, RowY(row + 1.2), r.texts[static_cast<std::size_t>(g)][kLabel] + "  ");
  }

  const int totalsY = RowY(row + 2.5);
  DrawLabel(c, 30, totalsY, " 累計 ");
  for (std::size_t k = 0; k < years.size(); ++k) DrawLabel(c, columnX(k), totalsY, CentredCell(static_cast<double>(totals[k])));
}

}  // namespace orv
