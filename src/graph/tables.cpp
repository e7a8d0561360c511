// The legend, the cumulative deaths table and the deaths-by-cause table, drawn straight into
// their view windows.
#include "graph/tables.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "graph/label_columns.h"
#include "graph/plot_frame.h"
#include "graph/view_layout.h"
#include "text/number_text.h"

namespace orv {

namespace {

constexpr int kFirstColumnX = 330;
constexpr int kColumnPitch = 80;
constexpr int kSampleLeft = 40;
constexpr int kSampleRight = 280;

// Every view starts from a white page, black text on white and its own default font.
void StartView(Canvas& c) {
  c.FillRect(c.ClientRect(), kWhite);
  c.SetBkMode(BkMode::Opaque);
  c.SetBkColour(kWhite);
  c.SetTextColour(kBlack);
  c.SelectFont(nullptr);
}

int LastCause(const CaseData& cases) { return std::clamp(cases.NumCauses, 0, kCauseSlots - 1); }

std::string Cell(Count value) { return CellText(static_cast<double>(value)); }

const std::string& Label(const AnalysisResults& r, int g) { return r.texts[g][kLabel]; }

ViewShifts Shifts(const AnalysisResults& r, const Canvas& c) {
  return FitLabels(r, [&c](std::string_view text) { return c.TextWidth(text); });
}

}  // namespace

void DrawLegend(const AnalysisResults& r, const LineStyles& styles, Canvas* canvas) {
  if (canvas == nullptr) return;
  Canvas& c = *canvas;
  StartView(c);
  for (int g = 0; g <= LastGroup(r.cases); ++g) {
    if (!r.shown.Contains(g)) continue;
    const LineStyle& style = styles[g];
    const int textY = RowY(g + 0.7);
    DrawLabel(c, 10, textY, RightAligned(FormatNumber(g), 2) + " : ");
    c.SelectPen(style.pen);
    DrawHBar(c, 50, RowY(g + 0.9), 90, style.width);
    DrawLabel(c, 130, textY, Label(r, g));
  }
}

void DrawCumulativeDeaths(const AnalysisResults& r, const LineStyles& styles, const PlotGeometry& geometry,
                          Canvas* canvas) {
  if (canvas == nullptr) return;
  Canvas& c = *canvas;
  StartView(c);
  const PlotGeometry& geo = geometry;
  const int groups = LastGroup(r.cases);

  // The tick weeks of the X axis. Before the axis has ever been drawn there is no tick step:
  // the table then has the week 0 column alone instead of repeating it for ever.
  std::vector<int> weeks;
  for (std::int64_t w = 0; w <= geo.xMax; w += geo.tickStep) {
    weeks.push_back(static_cast<int>(w));
    if (geo.tickStep == 0) break;
  }
  const int shift = Shifts(r, c).cumulative;
  const auto columnX = [shift](std::size_t k) { return Coord(static_cast<double>(k) * kColumnPitch + kFirstColumnX + shift); };
  const std::size_t lastColumn = weeks.empty() ? 0 : weeks.size() - 1;
  const int dataMaxX = Coord((static_cast<double>(lastColumn) + 1.5) * kColumnPitch + kFirstColumnX + shift);

  const int headingY = RowY(0.6);
  for (std::size_t k = 0; k < weeks.size(); ++k) DrawLabel(c, columnX(k), headingY, CellText(weeks[k] / static_cast<double>(kWeeksPerYear)));
  DrawLabel(c, dataMaxX, headingY, "data max ");

  // Totals are held wide: a 16-bit total would wrap past 65,535 deaths.
  std::vector<Count> columnTotals(weeks.size(), 0);
  Count grandTotal = 0;
  std::vector<Count> cumulative(kWeekSlots, 0);
  for (int g = 1; g <= groups; ++g) {
    Count running = 0;
    for (int w = 0; w <= kMaxWeek; ++w) {
      running += r.cases.WeekCounts[static_cast<std::size_t>(w)][kCodeDeath][g];
      cumulative[static_cast<std::size_t>(w)] = running;
    }
    const LineStyle& style = styles[g];
    if (r.shown.Contains(g)) {
      c.SelectPen(style.pen);
      DrawHBar(c, kSampleLeft + shift, RowY(g + 1.2), kSampleRight + shift, style.width);
      const int y = Coord((g + 1) * kRowHeight);
      for (std::size_t k = 0; k < weeks.size(); ++k) {
        // No death lies beyond the last week, so a later tick reads the last week's count.
        const Count value = cumulative[static_cast<std::size_t>(std::min(weeks[k], kMaxWeek))];
        DrawLabel(c, columnX(k), y, Cell(value));
        columnTotals[k] += value;
      }
      DrawLabel(c, dataMaxX, y, Cell(running));
      grandTotal += running;
    }
    DrawLabel(c, 10, RowY(g + 1.2), Label(r, g) + "  ");
  }

  const int totalsY = RowY(groups + 2.5);
  DrawLabel(c, 30, totalsY, " 累計 ");
  for (std::size_t k = 0; k < weeks.size(); ++k) DrawLabel(c, columnX(k), totalsY, Cell(columnTotals[k]));
  DrawLabel(c, dataMaxX, totalsY, Cell(grandTotal));
}

void DrawDeathsByCause(const AnalysisResults& r, const LineStyles& styles, Canvas* canvas) {
  if (canvas == nullptr) return;
  const auto& deaths = r.cases.DeathsByCause;
  const int groups = LastGroup(r.cases);
  const int causes = LastCause(r.cases);
  Canvas& c = *canvas;
  StartView(c);
  const ViewShifts shifts = Shifts(r, c);
  const auto columnX = [&shifts](int j) { return Coord(j * shifts.causePitch + kFirstColumnX + shifts.byCause); };
  const int headingY = RowY(0.8);
  for (int j = 0; j <= causes; ++j) DrawLabel(c, columnX(j), headingY, r.cases.CauseNames[j]);

  for (int g = 1; g <= groups; ++g) {
    const LineStyle& style = styles[g];
    const int y = Coord((g + 1) * kRowHeight);
    if (r.shown.Contains(g)) {
      c.SelectPen(style.pen);
      DrawHBar(c, kSampleLeft + shifts.byCause, RowY(g + 1.2), kSampleRight + shifts.byCause, style.width);
      for (int j = 0; j <= causes; ++j) DrawLabel(c, columnX(j), y, Cell(deaths[g][j]));
    }
    DrawLabel(c, 10, y, Label(r, g) + "  ");
  }

  const int totalsY = RowY(groups + 2.5);
  DrawLabel(c, 50, totalsY, r.texts[kSummaryTotalsRow][kLabel] + "  ");
  for (int j = 0; j <= causes; ++j) DrawLabel(c, columnX(j), totalsY, Cell(r.run.causeTotals[static_cast<std::size_t>(j)]));
}

}  // namespace orv
