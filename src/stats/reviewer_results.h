// What a journal's reviewer asks after the figures: the standard log-rank test of the shown
// groups, each shown group's hazard ratio against a reference group, the proportional-hazards
// check behind every ratio, restricted mean survival time, median follow-up and events per
// group. Computed by each analysis run from its survival tables.
#pragma once

#include <array>
#include <vector>

#include "data/case_data.h"
#include "data/group_set.h"
#include "stats/hazard_ratio.h"
#include "stats/proportional_hazards.h"
#include "stats/standard_log_rank.h"
#include "survival/follow_up.h"
#include "survival/km_estimates.h"
#include "survival/restricted_mean.h"
#include "survival/survival_tables.h"

namespace orv {

// One shown group's hazard ratio relative to the reference group, from a Cox model of those
// two groups' cases alone, with the check of its proportional hazards.
struct ReferenceRatio {
  int group = 0;
  HazardRatio ratio;
  ProportionalHazardsTest ph;
};

struct ReviewerResults {
  // Tests, ratios and restricted means run over weeks 0..lastWeek, the X range's last week;
  // the restricted means to tau = lastWeek.
  int lastWeek = 0;
  int shownGroups = 0;  // shown groups 1..NumGroups; the log-rank test needs two
  LogRankTest logRank;
  // 0 without a shown group. requestedReference is the user's choice (0: none made); when
  // that group is not shown the first shown group stands in and referenceFellBack is set.
  int reference = 0;
  int requestedReference = 0;
  bool referenceFellBack = false;
  // Shown groups other than the reference, in group order.
  std::vector<ReferenceRatio> referenceRatios;
  // Groups 0 (the pooled shown groups) to NumGroups.
  std::array<Count, kGroupSlots> cases{};
  std::array<Count, kGroupSlots> events{};          // deaths over all weeks
  std::array<Count, kGroupSlots> eventsInWindow{};  // deaths over weeks 0..lastWeek, which the tests use
  std::array<RestrictedMean, kGroupSlots> rmst;
  std::array<MedianEstimate, kGroupSlots> followUp;  // group 0: the overall follow-up
  // [a][b], 1 <= a < b <= NumGroups, every pair as the pair statistics: the check of the
  // pair's hazard ratio and the difference b - a of the restricted means.
  std::array<std::array<ProportionalHazardsTest, kGroupSlots>, kGroupSlots> pairPh;
  std::array<std::array<RestrictedMeanDifference, kGroupSlots>, kGroupSlots> rmstDifference;
};

// The first shown group of 1..NumGroups when `requested` is not shown (or is 0); 0 when no
// group is shown.
int ReferenceGroup(const CaseData& cases, const GroupSet& shown, int requested);

// From the tables as the analysis run left them and the pairs' hazard ratios
// (hazardRatios[a][b], weeks 0..xMax), for the shown groups and weeks 0..xMax.
void ComputeReviewerResults(const CaseData& cases, const SurvivalTables& tables, const GroupSet& shown,
                            const std::array<std::array<HazardRatio, kGroupSlots>, kGroupSlots>& hazardRatios,
                            int xMax, int requestedReference, ReviewerResults& out);

}  // namespace orv
