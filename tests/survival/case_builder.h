// Case tables filled directly from short lists of weeks, as a load would, and the data sets
// shared by the survival and test checks (the same as in stats/reference/pairwise_logrank.R).
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "data/workspace.h"
#include "text/number_text.h"

namespace orv::test {

// One group: the weeks of its deaths and of its censored cases.
struct Group {
  std::vector<int> deaths, censored = {};
};
using DataSet = std::vector<Group>;  // groups 1, 2, ... in order

// Counts the cases into groups named "A", "B", ..., labels them as the loader does, shows
// every group and sets the X range.
inline void FillCases(Workspace& ws, const DataSet& groups, int xMax = 2080) {
  CaseData& c = ws.cases;
  c.NumGroups = static_cast<int>(groups.size());
  for (std::size_t g = 1; g <= groups.size(); ++g) {
    for (int code : {1, 2}) {
      for (int w : code == 2 ? groups[g - 1].deaths : groups[g - 1].censored) {
        ++c.WeekCounts[static_cast<std::size_t>(w)][static_cast<std::size_t>(code)][g];
        for (int row : {0, code, 3}) ++c.GroupTotals[static_cast<std::size_t>(row)][g];
        c.dataMaxWeeks = std::max(c.dataMaxWeeks, w);
      }
    }
    c.GroupNames[g] = std::string(1, static_cast<char>('A' + g - 1));
    ws.survival.GroupSummaryTexts[g][0] = c.GroupNames[g] + " ( n = " + FormatNumber(static_cast<double>(c.GroupTotals[0][g])) + " )";
    ws.styles[static_cast<int>(g)].shown = 1;
  }
  ws.geometry.xMax = xMax;
}

inline const DataSet kThreeGroups = {{{1, 2, 2, 3, 5, 8, 8, 12}, {4, 10, 15}},
                                     {{3, 6, 9, 9, 14, 20}, {2, 8, 12, 18, 25, 25}},
                                     {{10, 22, 30}, {5, 12, 16, 28, 35, 40, 40, 41}}};
inline const DataSet kHeavyTies = {{{0, 0, 0, 1, 1, 4, 4, 4, 4}, {1, 1}}, {{0, 1, 1, 1, 4}, {4, 4, 4, 6, 6}}};
inline const DataSet kLongFollowUp = {{{30, 45, 60, 60, 120, 200, 310, 400, 520, 700}, {80, 150, 260, 600, 900, 1500}},
                                      {{10, 12, 25, 40, 40, 41, 90, 95, 130, 260, 261}, {5, 50, 300, 1000, 2080}}};

}  // namespace orv::test
