// The overall Peto & Peto statistic and the pairwise log-rank and Wilcoxon statistics.
#include "stats/group_tests.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>
#include <vector>

#include "stats/chi_square.h"
#include "survival/survival_tables.h"

namespace orv {

namespace {

// The last week of every test, kept inside the weekly tables.
int LastTestWeek(int lastWeek) { return std::min(lastWeek, kMaxWeek); }

// One group's weeks in the tables' columns.
struct GroupColumns {
  std::span<const double> censored, deaths, atRisk;
};

struct PairResult {
  double logRankChi2, logRankP, wilcoxonChi2, wilcoxonP;
};

PairResult ComparePair(const GroupColumns& r, const GroupColumns& q, int weeks) {
  double uL = 0, vL = 0, uW = 0, vW = 0;
  for (int w = 0; w < weeks; ++w) {
    const auto i = static_cast<std::size_t>(w);
    if (!(q.censored[i] + q.deaths[i] + r.censored[i] + r.deaths[i] > 0)) continue;
    const double nR = r.atRisk[i];
    const double nQ = q.atRisk[i];
    const double n = nQ + nR;
    // Nobody at risk cannot come from a load; such a week carries no information.
    if (!(n > 0)) continue;
    const double d = q.deaths[i] + r.deaths[i];
    const double e = (d * nR) / n;
    const double v = n == 1 ? 0 : ((n - d) * (d * (nQ * nR))) / (n - 1);
    uL = uL + (r.deaths[i] - e);
    vL = vL + v / (n * n);
    uW = uW + (r.deaths[i] - e) * n;
    vW = vW + v;
  }
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  PairResult result{kNaN, 1, kNaN, 1};
  if (vL > 0) {
    result.logRankChi2 = (uL * uL) / vL;
    result.logRankP = ChiSquareUpperTail(1, result.logRankChi2);
  }
  if (vW > 0) {
    result.wilcoxonChi2 = (uW * uW) / vW;
    result.wilcoxonP = ChiSquareUpperTail(1, result.wilcoxonChi2);
  }
  return result;
}

}  // namespace

void ComputePetoStatistic(const CaseData& cases, const SurvivalTables& tables, const GroupSet& shownGroups, int lastWeek,
                          GroupTestResults& results) {
  results = GroupTestResults{};
  const auto& table = tables.SurvivalTable;
  const int last = LastTestWeek(lastWeek);
  double x = 0;
  double deaths = 0;
  int shown = 0;
  for (int g = 1; g <= cases.NumGroups; ++g) {
    if (!shownGroups.Contains(g)) continue;
    ++shown;
    double expected = 0;
    double observed = 0;
    for (int w = 0; w <= last; ++w) {
      const auto i = static_cast<std::size_t>(w);
      if (table[i][kCumulative][0] > 0) {
        expected = expected + table[i][kHazard][0] * static_cast<double>(tables.AtRiskTable[i][g]);
        observed = observed + table[i][kDeaths][g];
      }
    }
    deaths += observed;
    if (expected == 0) expected = 1;
    x = x + ((expected - observed) * (expected - observed)) / expected;
  }
  results.ShownGroupCount = shown;
  if (shown < 2) return;

  // Without a death no group has an expected count, and the 1 put in its place would make a
  // statistic of the number of groups out of nothing.
  results.overallTested = deaths > 0;
  if (results.overallTested) {
    double p = ChiSquareUpperTail(shown - 1, x);
    if (p < 0) p = 0;
    results.petoStatistic = x;
    results.petoP = p;
  } else {
    results.petoStatistic = std::numeric_limits<double>::quiet_NaN();
    results.petoP = std::numeric_limits<double>::quiet_NaN();
  }
  results.pairs = ComputePairStats(cases, tables, lastWeek);
}

PairStats ComputePairStats(const CaseData& cases, const SurvivalTables& tables, int lastWeek) {
  PairStats stats;
  const int groups = LastGroup(cases);
  const int weeks = std::max(LastTestWeek(lastWeek) + 1, 0);
  const auto w = static_cast<std::size_t>(weeks);
  std::vector<GroupColumns> columns(static_cast<std::size_t>(groups + 1));
  for (std::size_t g = 1; g < columns.size(); ++g) {
    columns[g] = {tables.columns.Censored(g, w), tables.columns.Deaths(g, w), tables.columns.AtRisk(g, w)};
  }

  for (int r = 1; r < groups; ++r) {
    for (int q = r + 1; q <= groups; ++q) {
      const PairResult pr =
          ComparePair(columns[static_cast<std::size_t>(r)], columns[static_cast<std::size_t>(q)], weeks);
      const auto ri = static_cast<std::size_t>(r);
      const auto qi = static_cast<std::size_t>(q);
      stats.LogRankChi2[ri][qi] = stats.LogRankChi2[qi][ri] = pr.logRankChi2;
      stats.LogRankP[ri][qi] = stats.LogRankP[qi][ri] = pr.logRankP;
      stats.WilcoxonChi2[ri][qi] = stats.WilcoxonChi2[qi][ri] = pr.wilcoxonChi2;
      stats.WilcoxonP[ri][qi] = stats.WilcoxonP[qi][ri] = pr.wilcoxonP;
    }
  }
  return stats;
}

}  // namespace orv
