// Every group's estimates and every pair's hazard ratio from the current survival tables.
#include "stats/publication_figures.h"

#include <algorithm>
#include <vector>

#include "text/truncate.h"

namespace orv {

void ComputePublicationFigures(const CaseData& cases, const SurvivalTables& tables, int xMax,
                               PublicationFigures& out) {
  const int groups = LastGroup(cases);
  const int lastWeek = std::clamp(xMax, 0, kMaxWeek);
  const WeekColumns& columns = tables.columns;

  for (std::size_t g = 0; g < kGroupSlots; ++g) {
    if (g > static_cast<std::size_t>(groups)) {
      out.groups[g] = {};
      continue;
    }
    const auto weeks = static_cast<std::size_t>(std::clamp(TruncToInt32(tables.lastEventWeek[g]), 0, kMaxWeek)) + 1;
    const WeeklyCounts counts{columns.Deaths(g, weeks), columns.AtRisk(g, weeks)};
    EstimateGroup(counts, lastWeek, out.groups[g]);
  }

  const auto inRange = static_cast<std::size_t>(lastWeek) + 1;
  for (auto& row : out.hazardRatios) row.fill(HazardRatio{});
  CoxScratch scratch;
  for (std::size_t a = 1; a < static_cast<std::size_t>(groups); ++a) {
    for (std::size_t b = a + 1; b <= static_cast<std::size_t>(groups); ++b) {
      out.hazardRatios[a][b] = EstimateHazardRatio(columns.Deaths(a, inRange), columns.AtRisk(a, inRange),
                                                   columns.Deaths(b, inRange), columns.AtRisk(b, inRange), scratch);
    }
  }
}

}  // namespace orv
