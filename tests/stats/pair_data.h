// Week-discretised data sets shared by the pair statistic tests; the same data sets are in
// reference/pairwise_logrank.R.
#pragma once

#include <vector>

#include "survival/case_builder.h"

namespace orv::test {

inline std::vector<TestCase> Cases(int group, std::vector<int> deaths, std::vector<int> censored) {
  std::vector<TestCase> all;
  for (int w : deaths) all.push_back({group, w, kDeath});
  for (int w : censored) all.push_back({group, w, kCensoredCase});
  return all;
}

inline std::vector<TestCase> ThreeGroups() {
  return Join({Cases(1, {1, 2, 2, 3, 5, 8, 8, 12}, {4, 10, 15}),
               Cases(2, {3, 6, 9, 9, 14, 20}, {2, 8, 12, 18, 25, 25}),
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
