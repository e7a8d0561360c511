// The reviewer's figures of one analysis run from its survival tables.
#include "stats/reviewer_results.h"

#include <algorithm>
#include <cmath>

#include "text/truncate.h"

namespace orv {

namespace {

// One group's columns of the tables over weeks 0..kMaxWeek.
struct GroupColumns {
  std::vector<double> deaths = std::vector<double>(kWeekSlots);
  std::vector<double> atRisk = std::vector<double>(kWeekSlots);
  std::vector<double> censored = std::vector<double>(kWeekSlots);
  std::size_t weeks = 1;  // to the group's last event week
  WeeklyCounts Counts() const {
    return {std::span<const double>(deaths).first(weeks), std::span<const double>(atRisk).first(weeks)};
  }
};

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
  std::vector<GroupColumns> columns(static_cast<std::size_t>(groups) + 1);
  for (std::size_t g = 0; g < columns.size(); ++g) {
    GroupColumns& c = columns[g];
    for (std::size_t w = 0; w < kWeekSlots; ++w) {
      c.deaths[w] = tables.SurvivalTable[w][kDeaths][g];
      c.censored[w] = tables.SurvivalTable[w][kCensored][g];
      c.atRisk[w] = static_cast<double>(tables.AtRiskTable[w][g]);
    }
    c.weeks = static_cast<std::size_t>(std::clamp(TruncToInt32(tables.lastEventWeek[g]), 0, kMaxWeek)) + 1;
  }
  auto inRangeOf = [&](const std::vector<double>& column) { return std::span<const double>(column).first(inRange); };

  out = ReviewerResults{};
  out.lastWeek = lastWeek;
  out.requestedReference = requestedReference;
  std::vector<WeeklyCounts> shownCounts;
  for (int g = 1; g <= groups; ++g) {
    if (shown.Contains(g)) shownCounts.push_back(columns[static_cast<std::size_t>(g)].Counts());
  }
  out.shownGroups = static_cast<int>(shownCounts.size());
  if (out.shownGroups >= 2) out.logRank = StandardLogRank(shownCounts, lastWeek);

  for (std::size_t g = 0; g < columns.size(); ++g) {
    const GroupColumns& c = columns[g];
    out.cases[g] = g == 0 ? tables.ShownCaseTotal : cases.GroupTotals[kTotalRows][g];
    double deaths = 0;
    for (double d : c.deaths) deaths += d;
    out.events[g] = TruncToInt64(deaths);
    out.rmst[g] = EstimateRestrictedMean(c.Counts(), lastWeek);
    out.followUp[g] = MedianFollowUp(std::span<const double>(c.censored).first(c.weeks),
                                     std::span<const double>(c.atRisk).first(c.weeks));
  }

  for (std::size_t a = 1; a < columns.size(); ++a) {
    for (std::size_t b = a + 1; b < columns.size(); ++b) {
      out.pairPh[a][b] = TestProportionalHazards(inRangeOf(columns[a].deaths), inRangeOf(columns[a].atRisk),
                                                 inRangeOf(columns[b].deaths), inRangeOf(columns[b].atRisk),
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
