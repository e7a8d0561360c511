// One group's weekly counts for the competing-risks figures: the cases at risk at the start
// of each week and what became of those who left in it.
#pragma once

#include <span>

namespace orv {

// Weeks 0..n-1, whole numbers as doubles, every span of the same length n. The deaths of
// interest, the competing deaths and the censored cases of a week together never exceed its
// number at risk; a week's ties of every kind share one risk set.
struct CauseCounts {
  std::span<const double> atRisk;
  std::span<const double> interest;
  std::span<const double> competing;
  std::span<const double> censored;
};

}  // namespace orv
