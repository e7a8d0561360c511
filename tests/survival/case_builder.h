// Case tables built from short lists of weeks, and the data sets shared by the survival and
// test checks (the same as in stats/reference/pairwise_logrank.R).
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "session/analysis.h"

namespace orv::test {

// One group: the weeks of its deaths and of its censored cases.
struct Group {
  std::vector<int> deaths, censored = {};
};
using DataSet = std::vector<Group>;  // groups 1, 2, ... in order

// The case tables of the groups as a load counts them, built without the loader: groups
// "A", "B", ... in order, a case in each week listed, deaths of cancer. Nothing of an
// earlier load stays; every group is shown and the X range set.
inline void FillCases(Workspace& ws, const DataSet& groups, int xMax = 2080) {
  CaseData& c = ws.cases = CaseData{};
  ws.survival = SurvivalTables{};
  ws.shown = GroupSet{};
  c.GroupNames[0] = "all Cases";
  c.NumGroups = static_cast<int>(groups.size());
  for (std::size_t g = 1; g <= groups.size(); ++g) {
    c.GroupNames[g] = std::string(1, static_cast<char>('A' + g - 1));
    for (const int code : {kCodeCensored, kCodeDeath}) {
      for (int w : code == kCodeDeath ? groups[g - 1].deaths : groups[g - 1].censored) {
        ++c.WeekCounts[static_cast<std::size_t>(w)][static_cast<std::size_t>(code)][g];
        ++c.GroupTotals[static_cast<std::size_t>(code)][g];  // totals rows 1 and 2 count codes 1 and 2
        ++c.DeathsByCause[g][static_cast<std::size_t>(code - 1)], ++c.DeathsByCause[0][static_cast<std::size_t>(code - 1)];
        c.dataMaxWeeks = std::max(c.dataMaxWeeks, w);
      }
    }
    c.GroupTotals[kTotalRows][g] = c.GroupTotals[kTotalCensoredAndDeaths][g] = c.GroupTotals[1][g] + c.GroupTotals[2][g];
    ws.survival.GroupSummaryTexts[g][kLabel] = c.GroupNames[g] + " ( n = " + std::to_string(c.GroupTotals[0][g]) + " )";
    ws.shown.Set(static_cast<int>(g), true);
  }
  c.NumCauses = c.DeathsByCause[0][1] > 0 ? 1 : 0;
  c.CauseNames[1] = c.NumCauses > 0 ? "癌" : "";
  ws.geometry.xMax = xMax;
}

inline const DataSet kThreeGroups = {{{1, 2, 2, 3, 5, 8, 8, 12}, {4, 10, 15}},
                                     {{3, 6, 9, 9, 14, 20}, {2, 8, 12, 18, 25, 25}},
                                     {{10, 22, 30}, {5, 12, 16, 28, 35, 40, 40, 41}}};
inline const DataSet kHeavyTies = {{{0, 0, 0, 1, 1, 4, 4, 4, 4}, {1, 1}}, {{0, 1, 1, 1, 4}, {4, 4, 4, 6, 6}}};
inline const DataSet kLongFollowUp = {{{30, 45, 60, 60, 120, 200, 310, 400, 520, 700}, {80, 150, 260, 600, 900, 1500}},
                                      {{10, 12, 25, 40, 40, 41, 90, 95, 130, 260, 261}, {5, 50, 300, 1000, 2080}}};

}  // namespace orv::test
