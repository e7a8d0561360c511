// Median follow-up: the median of the reverse Kaplan-Meier curve.
#include "survival/follow_up.h"

namespace orv {

MedianEstimate MedianFollowUp(std::span<const double> alive, std::span<const double> atRisk) {
  GroupEstimates reversed;
  // No year marks are wanted: a range below week 0 gives none.
  EstimateGroup(WeeklyCounts{alive, atRisk}, -1, reversed);
  return reversed.median;
}

}  // namespace orv
