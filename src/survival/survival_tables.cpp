// Start-up values of the survival tables, and the weekly Kaplan-Meier tables of the groups
// and of the pooled shown groups.
#include "survival/survival_tables.h"

#include <algorithm>
#include <array>

#include "survival/km_estimates.h"
#include "text/number_text.h"
#include "text/period_text.h"
#include "text/truncate.h"

namespace orv {

namespace {

// Hazard and survival of groups `from` to `to`, from their counts, cumulative events and
// numbers at risk. The survival is the whole Kaplan-Meier
// product, multiplied as the publication figures multiply it so both give the same double:
// a fraction cut at every week would carry each cut into the next and drift further below
// the estimate the more deaths there are. It is cut to three decimals only where it becomes
// text. The weeks run in the outer loop so that each pass reads one row of the table for
// every group at once.
void FillSurvival(SurvivalTables& t, int from, int to) {
  std::array<double, kGroupSlots> previous;
  previous.fill(1);
  int lastOfAll = 0;
  for (int g = from; g <= to; ++g) lastOfAll = std::max(lastOfAll, TruncToInt32(t.lastEventWeek[static_cast<std::size_t>(g)]));
  for (int w = 0; w <= lastOfAll; ++w) {
    auto& week = t.SurvivalTable[static_cast<std::size_t>(w)];
    for (int g = from; g <= to; ++g) {
      const auto gi = static_cast<std::size_t>(g);
      if (w > t.lastEventWeek[gi]) continue;
      const Count atRisk = t.AtRiskTable[static_cast<std::size_t>(w)][gi];
      // Nobody at risk has no hazard; a load never leaves deaths without anyone at risk.
      const double q = atRisk > 0 ? week[kDeaths][gi] / static_cast<double>(atRisk) : 0.0;
      week[kHazard][gi] = q;
      if (q > 0) previous[gi] *= 1 - q;
      const double s = previous[gi];
      week[kSurvival][gi] = s;
    }
  }
}

// Groups from..to of the tables into their columns.
void CopyColumns(SurvivalTables& t, int from, int to) {
  WeekColumns& c = t.columns;
  for (int g = from; g <= to; ++g) {
    const auto gi = static_cast<std::size_t>(g);
    double* deaths = c.deaths.data() + gi * kWeekSlots;
    double* censored = c.censored.data() + gi * kWeekSlots;
    double* atRisk = c.atRisk.data() + gi * kWeekSlots;
    for (std::size_t w = 0; w < kWeekSlots; ++w) {
      deaths[w] = t.SurvivalTable[w][kDeaths][gi];
      censored[w] = t.SurvivalTable[w][kCensored][gi];
      atRisk[w] = static_cast<double>(t.AtRiskTable[w][gi]);
    }
  }
}

}  // namespace

void BuildGroupTables(const CaseData& c, SurvivalTables& t) {
  // Numbers at risk are cleared too: a later week of a previous, longer file must not
  // reach the tests of this one.
  for (auto& week : t.SurvivalTable) week = {};
  for (auto& week : t.AtRiskTable) week = {};
  t.lastEventWeek = {};

  const int groups = LastGroup(c);
  for (int w = 0; w <= kMaxWeek; ++w) {
    const auto wi = static_cast<std::size_t>(w);
    auto& week = t.SurvivalTable[wi];
    for (int g = 1; g <= groups; ++g) {
      const auto gi = static_cast<std::size_t>(g);
      week[kCensored][gi] = static_cast<double>(c.WeekCounts[wi][kCodeCensored][gi]);
      week[kDeaths][gi] = static_cast<double>(c.WeekCounts[wi][kCodeDeath][gi]);
      week[kCumulative][gi] = week[kCensored][gi] + week[kDeaths][gi];
      if (week[kCumulative][gi] != 0) t.lastEventWeek[gi] = w;
    }
  }
  for (int g = 1; g <= groups; ++g) t.AtRiskTable[0][static_cast<std::size_t>(g)] = c.GroupTotals[kTotalCensoredAndDeaths][static_cast<std::size_t>(g)];
  for (int w = 1; w <= kMaxWeek; ++w) {
    const auto wi = static_cast<std::size_t>(w);
    auto& week = t.SurvivalTable[wi];
    for (int g = 1; g <= groups; ++g) {
      const auto gi = static_cast<std::size_t>(g);
      if (w > t.lastEventWeek[gi]) continue;
      week[kCumulative][gi] += t.SurvivalTable[wi - 1][kCumulative][gi];
      const double total = static_cast<double>(c.GroupTotals[kTotalCensoredAndDeaths][gi]);
      t.AtRiskTable[wi][gi] = TruncToInt64(total - (week[kCumulative][gi] - week[kCensored][gi] - week[kDeaths][gi]));
    }
  }
  FillSurvival(t, 1, groups);
  // Every group, so that the columns of a previous file's later groups are cleared too.
  CopyColumns(t, 1, kGroupSlots - 1);
}

void BuildPooledTable(const CaseData& c, const GroupSet& shown, SurvivalTables& t) {
  t.ShownCaseTotal = 0;
  for (auto& week : t.SurvivalTable) {
    for (int slot = kCensored; slot <= kSurvival; ++slot) week[slot][0] = 0;
  }
  for (auto& week : t.AtRiskTable) week[0] = 0;
  t.lastEventWeek[0] = 0;

  for (int g = 1; g <= LastGroup(c); ++g) {
    if (!shown.Contains(g)) continue;
    const auto gi = static_cast<std::size_t>(g);
    t.ShownCaseTotal += c.GroupTotals[kTotalRows][gi];
    t.lastEventWeek[0] = std::max(t.lastEventWeek[0], t.lastEventWeek[gi]);
  }
  // Weeks outside, groups inside: each cell still adds the groups in index order.
  for (int w = 0; w <= TruncToInt32(t.lastEventWeek[0]); ++w) {
    const auto wi = static_cast<std::size_t>(w);
    auto& week = t.SurvivalTable[wi];
    for (int g = 1; g <= LastGroup(c); ++g) {
      const auto gi = static_cast<std::size_t>(g);
      // Weeks after a group's last event add nothing.
      if (!shown.Contains(g) || w > t.lastEventWeek[gi]) continue;
      for (int slot = kCensored; slot <= kCumulative; ++slot) week[slot][0] += week[slot][gi];
      t.AtRiskTable[wi][0] += t.AtRiskTable[wi][gi];
    }
  }
  CopyColumns(t, 0, 0);
  // Without a shown case there is nothing to estimate: group 0 keeps an all-zero table and
  // empty figures instead of a survival of 100 % over no one.
  if (t.AtRiskTable[0][0] <= 0) return;
  FillSurvival(t, 0, 0);
}

int MedianSurvivalWeek(const SurvivalTables& tables, int g) {
  if (g < 0 || g >= kGroupSlots) return -1;
  const auto gi = static_cast<std::size_t>(g);
  const int last = std::min(TruncToInt32(tables.lastEventWeek[gi]), kMaxWeek);
  for (int w = 0; w <= last; ++w) {
    if (tables.SurvivalTable[static_cast<std::size_t>(w)][kSurvival][gi] <= 0.5 + kHalfTolerance) return w;
  }
  return -1;
}

double SurvivalAtRangeEnd(const SurvivalTables& tables, int g, int xMax) {
  double s = 1.0;
  if (g < 0 || g >= kGroupSlots) return s;
  const auto gi = static_cast<std::size_t>(g);
  for (int w = 0; w <= std::min(xMax, kMaxWeek); ++w) {
    const auto& week = tables.SurvivalTable[static_cast<std::size_t>(w)];
    if (week[kCensored][gi] + week[kDeaths][gi] > 0) s = week[kSurvival][gi];
  }
  return s;
}

}  // namespace orv
