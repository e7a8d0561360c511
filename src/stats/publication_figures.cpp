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
  // Columns of the tables, one contiguous run of weeks per group.
  std::vector<std::vector<double>> deaths(static_cast<std::size_t>(groups) + 1, std::vector<double>(kWeekSlots));
  std::vector<std::vector<double>> atRisk(static_cast<std::size_t>(groups) + 1, std::vector<double>(kWeekSlots));
  for (std::size_t w = 0; w < kWeekSlots; ++w) {
    for (std::size_t g = 0; g <= static_cast<std::size_t>(groups); ++g) {
      deaths[g][w] = tables.SurvivalTable[w][kDeaths][g];
      atRisk[g][w] = static_cast<double>(tables.AtRiskTable[w][g]);
    }
  }

  for (std::size_t g = 0; g < kGroupSlots; ++g) {
    if (g > static_cast<std::size_t>(groups)) {
      out.groups[g] = {};
      continue;
    }
    const auto weeks = static_cast<std::size_t>(std::clamp(TruncToInt32(tables.lastEventWeek[g]), 0, kMaxWeek)) + 1;
    const WeeklyCounts counts{std::span<const double>(deaths[g]).first(weeks), std::span<const double>(atRisk[g]).first(weeks)};
    EstimateGroup(counts, lastWeek, out.groups[g]);
  }

  const auto inRange = static_cast<std::size_t>(lastWeek) + 1;
  for (auto& row : out.hazardRatios) row.fill(HazardRatio{});
  CoxScratch scratch;
  for (std::size_t a = 1; a < static_cast<std::size_t>(groups); ++a) {
    for (std::size_t b = a + 1; b <= static_cast<std::size_t>(groups); ++b) {
      out.hazardRatios[a][b] = EstimateHazardRatio(std::span<const double>(deaths[a]).first(inRange),
                                                   std::span<const double>(atRisk[a]).first(inRange),
                                                   std::span<const double>(deaths[b]).first(inRange),
                                                   std::span<const double>(atRisk[b]).first(inRange), scratch);
    }
  }
}

}  // namespace orv
