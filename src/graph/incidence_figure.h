// The cumulative incidence figure: the publication figure's layout with each shown group's
// incidence of the deaths of interest rising from 0, "name (events/cases)" and Gray's p in
// the legend, the same numbers at risk under the axis (cases still free of any event and
// under observation), the event of interest named in the axis title and, with the competing
// causes and the weeks of the tests, in the footnote.
#pragma once

#include "graph/publication_figure.h"
#include "stats/competing_results.h"

namespace orv {

// Every shown group in drawing order (all cases first) over the range of xMax weeks, with
// Gray's p of the shown groups when it was tested; with `bands`, each curve's 95 % interval.
FigureInput IncidenceFigureInputOf(const AnalysisResults& r, const CompetingRisks& c, const LineStyles& styles, int xMax,
                                   bool bands);

}  // namespace orv
