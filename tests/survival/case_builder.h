// Case tables loaded from short lists of weeks, and the data sets shared by the survival and
// test checks (the same as in stats/reference/pairwise_logrank.R).
#pragma once

#include <string>
#include <vector>

#include "session/analysis.h"
#include "platform/recording.h"

namespace orv::test {

// One group: the weeks of its deaths and of its censored cases.
struct Group {
  std::vector<int> deaths, censored = {};
};
using DataSet = std::vector<Group>;  // groups 1, 2, ... in order

// Loads the groups as a data file: groups "A", "B", ... in order (each needs a case to be
// named), a row of 7 w days per case, deaths of cancer. Then every group is shown and the X
// range set.
inline void FillCases(Workspace& ws, const DataSet& groups, int xMax = 2080) {
  std::string file;
  for (std::size_t g = 0; g < groups.size(); ++g) {
    const std::string name(1, static_cast<char>('A' + g));
    for (int w : groups[g].deaths) file += name + "," + std::to_string(7 * w) + ",死亡,癌\n";
    for (int w : groups[g].censored) file += name + "," + std::to_string(7 * w) + ",生存\n";
  }
  RecordingRichText report;
  RecordingMessageBoxes boxes;
  LoadDataBytes("cases.csv", file, ws, report, boxes);
  for (std::size_t g = 1; g <= groups.size(); ++g) ws.shown.Set(static_cast<int>(g), true);
  ws.geometry.xMax = xMax;
}

inline const DataSet kThreeGroups = {{{1, 2, 2, 3, 5, 8, 8, 12}, {4, 10, 15}},
                                     {{3, 6, 9, 9, 14, 20}, {2, 8, 12, 18, 25, 25}},
                                     {{10, 22, 30}, {5, 12, 16, 28, 35, 40, 40, 41}}};
inline const DataSet kHeavyTies = {{{0, 0, 0, 1, 1, 4, 4, 4, 4}, {1, 1}}, {{0, 1, 1, 1, 4}, {4, 4, 4, 6, 6}}};
inline const DataSet kLongFollowUp = {{{30, 45, 60, 60, 120, 200, 310, 400, 520, 700}, {80, 150, 260, 600, 900, 1500}},
                                      {{10, 12, 25, 40, 40, 41, 90, 95, 130, 260, 261}, {5, 50, 300, 1000, 2080}}};

}  // namespace orv::test
