// The competing-risks figures of an analysis run from the weekly tables.
#include "stats/competing_results.h"

#include <algorithm>
#include <span>

#include "text/truncate.h"

namespace orv {

namespace {

// One group's counts over the first weeks: the tables' columns, and the run's own of the
// competing deaths and of the cases censored otherwise.
CauseCounts CountsOf(const SurvivalTables& tables, const CompetingScratch& room, std::size_t g, std::size_t weeks) {
  const double* own = room.columns.data() + 2 * g * kWeekSlots;
  return {tables.columns.AtRisk(g, weeks), tables.columns.Deaths(g, weeks), {own, weeks}, {own + kWeekSlots, weeks}};
}

// Groups 1..groups from the case tables, then group 0 as the sum of the shown ones (the
// survival tables do not pool the competing deaths); the tables count the competing deaths
// among the censored cases.
void FillColumns(const CaseData& cases, const SurvivalTables& tables, const GroupSet& shown, int groups,
                 CompetingScratch& room) {
  room.columns.assign(2 * kWeekSlots * (static_cast<std::size_t>(groups) + 1), 0);
  double* pooled = room.columns.data();
  // The pooled table stops at its last event week; so do its competing deaths.
  const auto pooledWeeks = static_cast<std::size_t>(std::clamp(TruncToInt32(tables.lastEventWeek[0]), 0, kMaxWeek)) + 1;
  for (std::size_t g = 1; g <= static_cast<std::size_t>(groups); ++g) {
    double* competing = room.columns.data() + 2 * g * kWeekSlots;
    double* censored = competing + kWeekSlots;
    const std::span<const double> tableCensored = tables.columns.Censored(g, kWeekSlots);
    const bool intoPool = shown.Contains(static_cast<int>(g));
    for (std::size_t w = 0; w < kWeekSlots; ++w) {
      competing[w] = static_cast<double>(cases.CompetingDeaths[w][g]);
      censored[w] = tableCensored[w] - competing[w];
      if (intoPool && w < pooledWeeks) pooled[w] += competing[w];
    }
  }
  double* pooledCensored = pooled + kWeekSlots;
  const std::span<const double> tableCensored = tables.columns.Censored(0, kWeekSlots);
  for (std::size_t w = 0; w < kWeekSlots; ++w) pooledCensored[w] = tableCensored[w] - pooled[w];
}

}  // namespace

bool HasCompetingCauses(const CaseData& cases) {
  return std::any_of(cases.CauseCensored.begin() + 1, cases.CauseCensored.end(), [](std::int32_t flag) { return flag == 1; });
}

void ComputeCompetingRisks(const CaseData& cases, const SurvivalTables& tables, const GroupSet& shown, int xMax,
                           CompetingRisks& out) {
  CompetingScratch& room = out.scratch;
  out.active = HasCompetingCauses(cases);
  out.overall = {};
  for (auto& row : out.pairTests) row.fill({});
  for (auto& row : out.ratios) row.fill({});
  for (GroupIncidence& g : out.groups) {
    g.competing.clear();
    g.estimates.incidence.clear();
    g.estimates.stdErr.clear();
    g.estimates.lower.clear();
    g.estimates.upper.clear();
    g.estimates.at5y.reset();
    g.estimates.at10y.reset();
  }
  if (!out.active) return;
  const int groups = LastGroup(cases);
  const auto inRange = static_cast<std::size_t>(std::clamp(xMax, 0, kMaxWeek)) + 1;
  FillColumns(cases, tables, shown, groups, room);

  for (std::size_t g = 0; g <= static_cast<std::size_t>(groups); ++g) {
    const auto weeks = static_cast<std::size_t>(std::clamp(TruncToInt32(tables.lastEventWeek[g]), 0, kMaxWeek)) + 1;
    const CauseCounts counts = CountsOf(tables, room, g, weeks);
    out.groups[g].competing.assign(counts.competing.begin(), counts.competing.end());
    EstimateIncidence(counts, out.groups[g].estimates);
  }

  room.gray.resize(static_cast<std::size_t>(groups) + 1);
  std::vector<const GrayColumns*> shownColumns;
  for (std::size_t g = 1; g <= static_cast<std::size_t>(groups); ++g) {
    PrepareGrayColumns(CountsOf(tables, room, g, inRange), room.gray[g]);
    if (shown.Contains(static_cast<int>(g))) shownColumns.push_back(&room.gray[g]);
  }
  if (shownColumns.size() >= 2) out.overall = ComputeGrayTest(shownColumns, room.grayTest);

  for (std::size_t a = 1; a < static_cast<std::size_t>(groups); ++a) {
    for (std::size_t b = a + 1; b <= static_cast<std::size_t>(groups); ++b) {
      out.pairTests[a][b] = ComputePairGrayTest(room.gray[a], room.gray[b]);
      out.ratios[a][b] = EstimateSubHazardRatio(CountsOf(tables, room, a, inRange), CountsOf(tables, room, b, inRange),
                                             room.fineGray);
    }
  }
}

}  // namespace orv
