// Restricted mean survival time: the area under the Kaplan-Meier curve and its variance.
#include "survival/restricted_mean.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace orv {

RestrictedMean EstimateRestrictedMean(const WeeklyCounts& counts, int tau) {
  RestrictedMean mean;
  mean.tau = tau;
  const std::size_t weeks = std::min(counts.deaths.size(), counts.atRisk.size());
  if (weeks == 0 || !(counts.atRisk[0] > 0) || tau < 0) return mean;

  const auto end = static_cast<std::size_t>(tau);
  // S(w) for the weeks the group was observed within [0, tau); the last holds on after them.
  std::vector<double> curve(std::min(weeks, end));
  double s = 1;
  for (std::size_t w = 0; w < curve.size(); ++w) {
    const double n = counts.atRisk[w];
    if (n > 0) s *= 1 - counts.deaths[w] / n;
    curve[w] = s;
  }
  // The area after week w, accumulated from tau backwards so that small areas near tau keep
  // their digits.
  double area = static_cast<double>(end - curve.size()) * s;
  double variance = 0;
  const std::size_t lastWithDeaths = std::min(weeks - 1, end);
  for (std::size_t w = lastWithDeaths + 1; w-- > 0;) {
    if (w < curve.size()) area += curve[w];
    // area now holds the area from week w to tau.
    const double d = counts.deaths[w];
    const double n = counts.atRisk[w];
    if (d > 0 && d < n) variance += area * area * d / (n * (n - d));
  }
  mean.estimated = true;
  mean.estimate = area;
  mean.stdErr = std::sqrt(variance);
  mean.lower = area - kNormalQuantile975 * mean.stdErr;
  mean.upper = area + kNormalQuantile975 * mean.stdErr;
  return mean;
}

RestrictedMeanDifference CompareRestrictedMeans(const RestrictedMean& a, const RestrictedMean& b) {
  RestrictedMeanDifference difference;
  if (!a.estimated || !b.estimated) return difference;
  difference.estimated = true;
  difference.estimate = b.estimate - a.estimate;
  difference.stdErr = std::hypot(a.stdErr, b.stdErr);
  difference.lower = difference.estimate - kNormalQuantile975 * difference.stdErr;
  difference.upper = difference.estimate + kNormalQuantile975 * difference.stdErr;
  if (difference.stdErr > 0) {
    difference.p = std::erfc(std::abs(difference.estimate) / difference.stdErr / std::numbers::sqrt2);
  }
  return difference;
}

}  // namespace orv
