// The competing-risks figures of an analysis run from the weekly tables.
#include "stats/competing_results.h"

#include <algorithm>
#include <span>

#include "text/truncate.h"

namespace orv {

namespace {

// One group's columns, cut to the first weeks.
CauseCounts CountsOf(const CompetingScratch& room, std::size_t g, std::size_t weeks) {
  const double* c = room.columns.data() + 4 * g * room.weeks;
  return {{c, weeks}, {c + room.weeks, weeks}, {c + 2 * room.weeks, weeks}, {c + 3 * room.weeks, weeks}};
}

// Groups 1..groups from the tables over weeks 0..weeks-1, then group 0 as the sum of the shown
// ones (the competing deaths are not pooled by the survival tables).
void FillColumns(const CaseData& cases, const SurvivalTables& tables, const GroupSet& shown, int groups,
                 std::size_t weeks, CompetingScratch& room) {
  room.weeks = weeks;
  room.columns.assign(4 * weeks * (static_cast<std::size_t>(groups) + 1), 0);
  const auto column = [&](std::size_t g, std::size_t kind) { return room.columns.data() + (4 * g + kind) * weeks; };
  for (std::size_t g = 0; g <= static_cast<std::size_t>(groups); ++g) {
    double* atRisk = column(g, 0);
    double* interest = column(g, 1);
    double* competing = column(g, 2);
    double* pooled = column(0, 2);
    const bool intoPool = g > 0 && shown.Contains(static_cast<int>(g));
    for (std::size_t w = 0; w < weeks; ++w) {
      if (g > 0) {
        competing[w] = static_cast<double>(cases.CompetingDeaths[w][g]);
        // The pooled table stops at its last event week; so do its competing deaths.
        if (intoPool && static_cast<double>(w) <= tables.lastEventWeek[0]) pooled[w] += competing[w];
      }
      atRisk[w] = static_cast<double>(tables.AtRiskTable[w][g]);
      interest[w] = tables.SurvivalTable[w][kDeaths][g];
    }
  }
  // The tables count the competing deaths among the censored cases; group 0's competing
  // column is whole only now.
  for (std::size_t g = 0; g <= static_cast<std::size_t>(groups); ++g) {
    const double* competing = column(g, 2);
    double* censored = column(g, 3);
    for (std::size_t w = 0; w < weeks; ++w) censored[w] = tables.SurvivalTable[w][kCensored][g] - competing[w];
  }
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
  std::array<std::size_t, kGroupSlots> lastWeeks{};
  std::size_t weeks = inRange;
  for (std::size_t g = 0; g <= static_cast<std::size_t>(groups); ++g) {
    lastWeeks[g] = static_cast<std::size_t>(std::clamp(TruncToInt32(tables.lastEventWeek[g]), 0, kMaxWeek)) + 1;
    weeks = std::max(weeks, lastWeeks[g]);
  }
  FillColumns(cases, tables, shown, groups, weeks, room);

  for (std::size_t g = 0; g <= static_cast<std::size_t>(groups); ++g) {
    const CauseCounts counts = CountsOf(room, g, lastWeeks[g]);
    out.groups[g].competing.assign(counts.competing.begin(), counts.competing.end());
    EstimateIncidence(counts, out.groups[g].estimates);
  }

  room.gray.resize(static_cast<std::size_t>(groups) + 1);
  std::vector<const GrayColumns*> shownColumns;
  for (std::size_t g = 1; g <= static_cast<std::size_t>(groups); ++g) {
    PrepareGrayColumns(CountsOf(room, g, inRange), room.gray[g]);
    if (shown.Contains(static_cast<int>(g))) shownColumns.push_back(&room.gray[g]);
  }
  if (shownColumns.size() >= 2) out.overall = ComputeGrayTest(shownColumns, room.grayTest);

  for (std::size_t a = 1; a < static_cast<std::size_t>(groups); ++a) {
    for (std::size_t b = a + 1; b <= static_cast<std::size_t>(groups); ++b) {
      out.pairTests[a][b] = ComputePairGrayTest(room.gray[a], room.gray[b]);
      out.ratios[a][b] = EstimateSubHazardRatio(CountsOf(room, a, inRange), CountsOf(room, b, inRange), room.fineGray);
    }
  }
}

}  // namespace orv
