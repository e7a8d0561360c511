// The reviewer's figures of one analysis run from its survival tables.
#include "stats/reviewer_results.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

#include "text/truncate.h"

namespace orv {

namespace {

// Group b relative to group a, from the fit of the pair: the pairs' ratios hold the later
// group relative to the earlier, and the fit of the other order is the same fit with the
// sign of beta turned.
HazardRatio RatioOf(const std::array<std::array<HazardRatio, kGroupSlots>, kGroupSlots>& hazardRatios, std::size_t a,
                    std::size_t b) {
  if (a < b) return hazardRatios[a][b];
  HazardRatio r = hazardRatios[b][a];
  if (!r.estimated) return r;
  r.beta = -r.beta;
  r.hr = std::exp(r.beta);
  r.lower = std::exp(r.beta - kNormalQuantile975 * r.se);
  r.upper = std::exp(r.beta + kNormalQuantile975 * r.se);
  return r;
}

// Group g's cases alive at their last contact over its first `weeks` weeks: the tables count
// the deaths of a cause counted as censored among the censored cases, and for the reverse
// Kaplan-Meier curve those deaths are censorings, not ends of follow-up. The pooled table
// holds the shown groups' censored cases, so the pool subtracts their deaths.
void AliveAtLastContact(const CaseData& cases, const WeekColumns& columns, const GroupSet& shown, std::size_t g,
                        std::size_t weeks, std::vector<double>& alive) {
  const std::span<const double> censored = columns.Censored(g, weeks);
  alive.assign(censored.begin(), censored.end());
  const int first = g == 0 ? 1 : static_cast<int>(g);
  const int last = g == 0 ? LastGroup(cases) : static_cast<int>(g);
  for (int s = first; s <= last; ++s) {
    if (g == 0 && !shown.Contains(s)) continue;
    const auto si = static_cast<std::size_t>(s);
    for (std::size_t w = 0; w < weeks; ++w) alive[w] -= static_cast<double>(cases.CompetingDeaths[w][si]);
  }
}

}  // namespace

int ReferenceGroup(const CaseData& cases, const GroupSet& shown, int requested) {
  if (requested >= 1 && requested <= LastGroup(cases) && shown.Contains(requested)) return requested;
  for (int g = 1; g <= LastGroup(cases); ++g) {
    if (shown.Contains(g)) return g;
  }
  return 0;
}

void ComputeReviewerResults(const CaseData& cases, const SurvivalTables& tables, const GroupSet& shown,
                            const std::array<std::array<HazardRatio, kGroupSlots>, kGroupSlots>& hazardRatios,
                            int xMax, int requestedReference, ReviewerResults& out) {
  const int groups = LastGroup(cases);
  const int lastWeek = std::clamp(xMax, 0, kMaxWeek);
  const auto inRange = static_cast<std::size_t>(lastWeek) + 1;
  const WeekColumns& columns = tables.columns;
  const auto lastEventWeeks = [&](std::size_t g) {
    return static_cast<std::size_t>(std::clamp(TruncToInt32(tables.lastEventWeek[g]), 0, kMaxWeek)) + 1;
  };
  const auto countsOf = [&](std::size_t g) {
    return WeeklyCounts{columns.Deaths(g, lastEventWeeks(g)), columns.AtRisk(g, lastEventWeeks(g))};
  };

  out = ReviewerResults{};
  out.lastWeek = lastWeek;
  out.requestedReference = requestedReference;
  std::vector<WeeklyCounts> shownCounts;
  for (int g = 1; g <= groups; ++g) {
    if (shown.Contains(g)) shownCounts.push_back(countsOf(static_cast<std::size_t>(g)));
  }
  out.shownGroups = static_cast<int>(shownCounts.size());
  std::vector<double> alive;
  if (out.shownGroups >= 2) out.logRank = StandardLogRank(shownCounts, lastWeek);

  for (std::size_t g = 0; g <= static_cast<std::size_t>(groups); ++g) {
    const std::size_t weeks = lastEventWeeks(g);
    out.cases[g] = g == 0 ? tables.ShownCaseTotal : cases.GroupTotals[kTotalRows][g];
    double deaths = 0;
    for (double d : columns.Deaths(g, kWeekSlots)) deaths += d;
    out.events[g] = TruncToInt64(deaths);
    double inWindow = 0;
    for (double d : columns.Deaths(g, inRange)) inWindow += d;
    out.eventsInWindow[g] = TruncToInt64(inWindow);
    out.rmst[g] = EstimateRestrictedMean(countsOf(g), lastWeek);
    AliveAtLastContact(cases, columns, shown, g, weeks, alive);
    out.followUp[g] = MedianFollowUp(alive, columns.AtRisk(g, weeks));
  }

  for (std::size_t a = 1; a < static_cast<std::size_t>(groups); ++a) {
    for (std::size_t b = a + 1; b <= static_cast<std::size_t>(groups); ++b) {
      out.pairPh[a][b] = TestProportionalHazards(columns.Deaths(a, inRange), columns.AtRisk(a, inRange),
                                                 columns.Deaths(b, inRange), columns.AtRisk(b, inRange),
                                                 hazardRatios[a][b]);
      out.rmstDifference[a][b] = CompareRestrictedMeans(out.rmst[a], out.rmst[b]);
    }
  }

  out.reference = ReferenceGroup(cases, shown, requestedReference);
  out.referenceFellBack = requestedReference != 0 && out.reference != requestedReference;
  if (out.reference == 0) return;
  const auto ref = static_cast<std::size_t>(out.reference);
  for (int g = 1; g <= groups; ++g) {
    if (g == out.reference || !shown.Contains(g)) continue;
    const auto gi = static_cast<std::size_t>(g);
    ReferenceRatio r{.group = g};
    // The check is symmetric in the two groups: the pair's own serves.
    r.ratio = RatioOf(hazardRatios, ref, gi);
    r.ph = out.pairPh[std::min(ref, gi)][std::max(ref, gi)];
    out.referenceRatios.push_back(r);
  }
}

}  // namespace orv
