// The input of the cumulative incidence figure.
#include "graph/incidence_figure.h"

#include <algorithm>

#include "words/figure_tables.h"
#include "words/figure_text.h"
#include "words/format.h"

namespace orv {

FigureInput IncidenceFigureInputOf(const AnalysisResults& r, const CompetingRisks& c, const LineStyles& styles, int xMax,
                                   bool bands) {
  FigureInput in;
  in.xMax = xMax;
  in.bands = bands;
  in.yTitle = IncidenceAxisTitle(r.cases);
  in.testName = "Gray";
  in.rising = true;
  for (int g = 0; g <= LastGroup(r.cases); ++g) {
    if (!r.shown.Contains(g)) continue;
    FigureSeries s = SeriesOf(r, styles, g, xMax);
    const IncidenceEstimates& e = c.groups[static_cast<std::size_t>(g)].estimates;
    const auto weeks = std::min(e.incidence.size(), static_cast<std::size_t>(kWeekSlots));
    s.start = 0;
    // A group without cases has no curve, as in the survival figure.
    s.lastWeek = r.figures.groups[static_cast<std::size_t>(g)].km.empty() ? -1 : static_cast<int>(weeks) - 1;
    s.survival.assign(e.incidence.begin(), e.incidence.begin() + static_cast<std::ptrdiff_t>(weeks));
    if (bands) {
      s.lower.assign(e.lower.begin(), e.lower.begin() + static_cast<std::ptrdiff_t>(weeks));
      s.upper.assign(e.upper.begin(), e.upper.begin() + static_cast<std::ptrdiff_t>(weeks));
    }
    in.series.push_back(std::move(s));
  }
  // The legend's events/cases and the footnote's weeks as the survival figure's; the events
  // not counted as censored are the events of interest.
  AddReviewerFigures(r.run.reviewer, r.cases, in);
  in.censoredCauses = IncidenceCausesText(r.cases);
  // As the paragraphs and the survival figure write a p: two significant figures.
  in.pValue = c.overall.tested ? RoundedPText(c.overall.p) : "";
  return in;
}

}  // namespace orv
