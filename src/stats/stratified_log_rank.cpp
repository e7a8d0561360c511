// The log-rank test of the groups within strata.
#include "stats/stratified_log_rank.h"

#include <algorithm>
#include <vector>

namespace orv {

LogRankTest StratifiedLogRankTest(std::span<const std::int32_t> group, std::span<const std::int32_t> week,
                                  std::span<const std::uint8_t> event, std::span<const std::int32_t> stratum,
                                  int groups, int strata, int lastWeek) {
  LogRankTest none;
  none.lastWeek = lastWeek;
  if (groups < 2 || strata < 1 || lastWeek < 0) return none;
  const std::size_t k = static_cast<std::size_t>(groups);
  const std::size_t cases = std::min({group.size(), week.size(), event.size(), stratum.size()});
  // The weeks that hold a case: a window far beyond the last follow-up costs nothing.
  std::int32_t latest = 0;
  for (std::size_t i = 0; i < cases; ++i) latest = std::max(latest, week[i]);
  const std::size_t weeks = static_cast<std::size_t>(std::min(latest, lastWeek)) + 1;
  const std::size_t cells = static_cast<std::size_t>(strata) * k * weeks;
  // Per stratum, group and week: the deaths and the cases whose follow-up ends there.
  std::vector<double> deaths(cells, 0), leaving(cells, 0);
  for (std::size_t i = 0; i < cases; ++i) {
    if (group[i] < 0 || group[i] >= groups || stratum[i] < 0 || stratum[i] >= strata || week[i] < 0) continue;
    const std::size_t w = std::min(static_cast<std::size_t>(week[i]), weeks - 1);
    const std::size_t at = (static_cast<std::size_t>(stratum[i]) * k + static_cast<std::size_t>(group[i])) * weeks + w;
    leaving[at] += 1;
    if (event[i] && static_cast<std::size_t>(week[i]) < weeks) deaths[at] += 1;
  }
  LogRankSums sums(k);
  std::vector<double> atRisk(k), deathsOfWeek(k);
  for (std::size_t s = 0; s < static_cast<std::size_t>(strata); ++s) {
    const std::size_t base = s * k * weeks;
    // The at-risk count of a week: the cases leaving in it or later.
    std::fill(atRisk.begin(), atRisk.end(), 0);
    for (std::size_t w = weeks; w-- > 0;) {
      for (std::size_t g = 0; g < k; ++g) {
        atRisk[g] += leaving[base + g * weeks + w];
        deathsOfWeek[g] = deaths[base + g * weeks + w];
      }
      AddLogRankWeek(atRisk, deathsOfWeek, sums);
    }
  }
  return LogRankFromSums(sums.observedLessExpected, sums.expected, sums.covariance, lastWeek);
}

}  // namespace orv
