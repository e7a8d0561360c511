// Case tables filled directly from short lists of cases, as a load would, and the data sets
// shared by the survival and test checks (the same as in stats/reference/pairwise_logrank.R).
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "data/workspace.h"
#include "text/number_text.h"

namespace orv::test {

struct TestCase {
  int group, week, code;  // code 1 censored, 2 death
};

// The cases of one group: deaths and censored cases by week.
inline std::vector<TestCase> Cases(int group, std::vector<int> deaths, std::vector<int> censored = {}) {
  std::vector<TestCase> all;
  for (int w : deaths) all.push_back({group, w, 2});
  for (int w : censored) all.push_back({group, w, 1});
  return all;
}

inline std::vector<TestCase> Join(std::vector<std::vector<TestCase>> parts) {
  std::vector<TestCase> all;
  for (auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// Counts the cases into groups 1..numGroups named "A", "B", ..., labels them as the loader
// does, shows every group and sets the X range.
inline void FillCases(Workspace& ws, int numGroups, const std::vector<TestCase>& cases, int xMax = 2080) {
  CaseData& c = ws.cases;
  c.NumGroups = numGroups;
  for (const TestCase& k : cases) {
    const auto g = static_cast<std::size_t>(k.group);
    ++c.WeekCounts[static_cast<std::size_t>(k.week)][static_cast<std::size_t>(k.code)][g];
    for (int row : {0, k.code, 3}) ++c.GroupTotals[static_cast<std::size_t>(row)][g];
    c.dataMaxWeeks = std::max(c.dataMaxWeeks, k.week);
  }
  for (int g = 1; g <= numGroups; ++g) {
    const auto gi = static_cast<std::size_t>(g);
    c.GroupNames[gi] = std::string(1, static_cast<char>('A' + g - 1));
    ws.survival.GroupSummaryTexts[gi][0] =
        c.GroupNames[gi] + " ( n = " + FormatNumber(static_cast<double>(c.GroupTotals[0][gi])) + " )";
    ws.styles[g].shown = 1;
  }
  ws.geometry.xMax = xMax;
}

inline std::vector<TestCase> ThreeGroups() {
  return Join({Cases(1, {1, 2, 2, 3, 5, 8, 8, 12}, {4, 10, 15}), Cases(2, {3, 6, 9, 9, 14, 20}, {2, 8, 12, 18, 25, 25}),
               Cases(3, {10, 22, 30}, {5, 12, 16, 28, 35, 40, 40, 41})});
}

inline std::vector<TestCase> HeavyTies() {
  return Join({Cases(1, {0, 0, 0, 1, 1, 4, 4, 4, 4}, {1, 1}), Cases(2, {0, 1, 1, 1, 4}, {4, 4, 4, 6, 6})});
}

inline std::vector<TestCase> LongFollowUp() {
  return Join({Cases(1, {30, 45, 60, 60, 120, 200, 310, 400, 520, 700}, {80, 150, 260, 600, 900, 1500}),
               Cases(2, {10, 12, 25, 40, 40, 41, 90, 95, 130, 260, 261}, {5, 50, 300, 1000, 2080})});
}

}  // namespace orv::test
