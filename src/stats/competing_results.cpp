// The competing-risks figures of an analysis run from the weekly tables.
#include "stats/competing_results.h"

#include <algorithm>
#include <span>

#include "text/truncate.h"

namespace orv {

namespace {

// One group's columns over every week of the tables.
struct CauseColumns {
  std::vector<double> atRisk = std::vector<double>(kWeekSlots);
  std::vector<double> interest = std::vector<double>(kWeekSlots);
  std::vector<double> competing = std::vector<double>(kWeekSlots);
  std::vector<double> censored = std::vector<double>(kWeekSlots);

  CauseCounts First(std::size_t weeks) const {
    return {std::span(atRisk).first(weeks), std::span(interest).first(weeks), std::span(competing).first(weeks),
            std::span(censored).first(weeks)};
  }
};

// Groups 1..groups from the tables, then group 0 as the sum of the shown ones (the competing
// deaths are not pooled by the survival tables).
std::vector<CauseColumns> ColumnsOf(const CaseData& cases, const SurvivalTables& tables, const GroupSet& shown, int groups) {
  std::vector<CauseColumns> columns(static_cast<std::size_t>(groups) + 1);
  CauseColumns& pooled = columns[0];
  for (std::size_t w = 0; w < kWeekSlots; ++w) {
    const auto& week = tables.SurvivalTable[w];
    for (std::size_t g = 1; g <= static_cast<std::size_t>(groups); ++g) {
      CauseColumns& c = columns[g];
      c.competing[w] = static_cast<double>(cases.CompetingDeaths[w][g]);
      // The pooled table stops at its last event week; so do its competing deaths.
      if (shown.Contains(static_cast<int>(g)) && static_cast<double>(w) <= tables.lastEventWeek[0]) pooled.competing[w] += c.competing[w];
    }
    for (std::size_t g = 0; g <= static_cast<std::size_t>(groups); ++g) {
      CauseColumns& c = columns[g];
      c.atRisk[w] = static_cast<double>(tables.AtRiskTable[w][g]);
      c.interest[w] = week[kDeaths][g];
      // The tables count the competing deaths among the censored cases.
      c.censored[w] = week[kCensored][g] - c.competing[w];
    }
  }
  return columns;
}

}  // namespace

bool HasCompetingCauses(const CaseData& cases) {
  return std::any_of(cases.CauseCensored.begin() + 1, cases.CauseCensored.end(), [](std::int32_t flag) { return flag == 1; });
}

void ComputeCompetingRisks(const CaseData& cases, const SurvivalTables& tables, const GroupSet& shown, int xMax,
                           CompetingRisks& out) {
  out = {};
  out.active = HasCompetingCauses(cases);
  if (!out.active) return;
  const int groups = LastGroup(cases);
  const std::vector<CauseColumns> columns = ColumnsOf(cases, tables, shown, groups);

  for (std::size_t g = 0; g <= static_cast<std::size_t>(groups); ++g) {
    const auto weeks = static_cast<std::size_t>(std::clamp(TruncToInt32(tables.lastEventWeek[g]), 0, kMaxWeek)) + 1;
    out.groups[g].competing.assign(columns[g].competing.begin(), columns[g].competing.begin() + static_cast<std::ptrdiff_t>(weeks));
    EstimateIncidence(columns[g].First(weeks), out.groups[g].estimates);
  }

  const auto inRange = static_cast<std::size_t>(std::clamp(xMax, 0, kMaxWeek)) + 1;
  std::vector<GrayColumns> gray(static_cast<std::size_t>(groups) + 1);
  std::vector<const GrayColumns*> shownColumns;
  for (std::size_t g = 1; g <= static_cast<std::size_t>(groups); ++g) {
    PrepareGrayColumns(columns[g].First(inRange), gray[g]);
    if (shown.Contains(static_cast<int>(g))) shownColumns.push_back(&gray[g]);
  }
  GrayScratch grayScratch;
  if (shownColumns.size() >= 2) out.overall = ComputeGrayTest(shownColumns, grayScratch);

  FineGrayScratch scratch;
  for (std::size_t a = 1; a < static_cast<std::size_t>(groups); ++a) {
    for (std::size_t b = a + 1; b <= static_cast<std::size_t>(groups); ++b) {
      out.pairTests[a][b] = ComputePairGrayTest(gray[a], gray[b]);
      out.ratios[a][b] = EstimateSubHazardRatio(columns[a].First(inRange), columns[b].First(inRange), scratch);
    }
  }
}

}  // namespace orv
