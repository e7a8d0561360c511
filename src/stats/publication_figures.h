// The figures a journal asks for, per group and per pair of groups, kept current by every
// analysis run.
#pragma once

#include <array>

#include "data/case_data.h"
#include "stats/hazard_ratio.h"
#include "survival/km_estimates.h"
#include "survival/survival_tables.h"

namespace orv {

struct PublicationFigures {
  // Groups 0 (pooled shown groups) to NumGroups; later slots stay empty.
  std::array<GroupEstimates, kGroupSlots> groups;
  // [a][b] with 1 <= a < b <= NumGroups: group b relative to group a, weeks 0 to xMax.
  // Every pair, shown or not, as the pair statistics.
  std::array<std::array<HazardRatio, kGroupSlots>, kGroupSlots> hazardRatios;
};

// From the survival tables as the last analysis run left them; the year marks and the
// hazard ratios run to week xMax.
void ComputePublicationFigures(const CaseData& cases, const SurvivalTables& tables, int xMax,
                               PublicationFigures& out);

}  // namespace orv
