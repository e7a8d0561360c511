// Kaplan-Meier estimates of one group without truncation, for publication: the estimate, its
// Greenwood standard error and a pointwise 95 % interval on the log scale per week, the
// numbers at risk at each year mark, the median with its interval and the 5- and 10-year
// survival with their intervals.
//
// S(w) = prod over weeks v <= w of (1 - d_v / n_v); Greenwood: se(S) = S sqrt(G),
// G = sum d_v / (n_v (n_v - d_v)); interval S exp(-/+ z sqrt(G)), upper limit capped at 1,
// z the 0.975 normal quantile. A week with d = n makes G infinite and S 0: from there on
// there is neither a standard error nor an interval.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "data/case_data.h"

namespace orv {

// The 0.975 quantile of the standard normal distribution.
inline constexpr double kNormalQuantile975 = 1.959963984540054;

// A survival within this of 0.5 counts as 0.5 exactly: a product such as 3/4 x 2/3 lands a
// rounding error away from it. The same tolerance as R survival's quantiles.
inline constexpr double kHalfTolerance = 1.4901161193847656e-08;  // sqrt of the double epsilon

// An estimate with its 95 % interval; lower and upper are NaN where there is no interval.
struct SurvivalEstimate {
  double survival = 1;
  double lower = 1;
  double upper = 1;
};

// Weeks; a midpoint may be fractional. Empty where the curve never falls to 0.5.
struct MedianEstimate {
  std::optional<double> week;
  std::optional<double> lower;
  std::optional<double> upper;
};

// The cases still under observation at the start of week 52 x year.
struct AtRiskMark {
  int year = 0;
  int week = 0;
  Count n = 0;
};

struct GroupEstimates {
  // Per week 0 to the group's last event week; empty for a group without cases.
  std::vector<double> km;
  std::vector<double> stdErr;  // NaN where G is infinite
  std::vector<double> lower;   // NaN where there is no interval
  std::vector<double> upper;
  std::vector<AtRiskMark> atRisk;  // year marks k = 0, 1, ... while 52 k <= xMax
  MedianEstimate median;
  std::optional<SurvivalEstimate> at5y;   // week 260, when the data reach it
  std::optional<SurvivalEstimate> at10y;  // week 520
};

// One group's weekly counts, weeks 0 to its last event week: deaths and the number at risk
// at the start of each week (deaths <= atRisk, both whole numbers).
struct WeeklyCounts {
  std::span<const double> deaths;
  std::span<const double> atRisk;
};

// Every figure above from one group's counts; `xMax` bounds the year marks only.
void EstimateGroup(const WeeklyCounts& counts, int xMax, GroupEstimates& out);

// The median rule on one curve (the estimate or a limit curve) over weeks 0..n-1: the first
// week with a value <= 0.5; where the value is 0.5 exactly, the midpoint between that week
// and the next week with a death (the last week when there is none). NaN never qualifies.
std::optional<double> MedianWeek(std::span<const double> curve, std::span<const double> deaths);

// A period of possibly fractional weeks as the program writes periods (" 3y 0m", "0.9m"),
// of the whole weeks in it.
std::string PeriodText(double weeks);

}  // namespace orv
