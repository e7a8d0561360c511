// Fills the case tables of a workspace directly from a short list of cases, as a load would.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "data/workspace.h"
#include "text/number_text.h"

namespace orv::test {

inline constexpr int kCensoredCase = 1;
inline constexpr int kDeath = 2;

struct TestCase {
  int group;
  int week;
  int code;  // kCensoredCase or kDeath
};

// `count` identical cases.
inline std::vector<TestCase> Repeat(int count, TestCase c) { return std::vector<TestCase>(static_cast<std::size_t>(count), c); }

// Counts the cases into groups 1..numGroups (named "A", "B", ...), labels them as the loader
// does, shows every group and sets the X range.
inline void FillCases(Workspace& ws, int numGroups, const std::vector<TestCase>& cases, int xMax = 2080) {
  CaseData& c = ws.cases;
  c.NumGroups = numGroups;
  for (const TestCase& k : cases) {
    const auto g = static_cast<std::size_t>(k.group);
    ++c.WeekCounts[static_cast<std::size_t>(k.week)][static_cast<std::size_t>(k.code)][g];
    ++c.GroupTotals[0][g];
    ++c.GroupTotals[static_cast<std::size_t>(k.code)][g];
    ++c.GroupTotals[3][g];
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

inline std::vector<TestCase> Join(std::vector<std::vector<TestCase>> parts) {
  std::vector<TestCase> all;
  for (auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

}  // namespace orv::test
