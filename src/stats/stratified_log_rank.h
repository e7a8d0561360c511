// The stratified log-rank test of k groups (R survival's survdiff(Surv(week, status) ~ group +
// strata(s))): within each stratum the observed less expected deaths U and their
// hypergeometric covariance V are those of the standard log-rank test over the stratum's own
// risk sets (stats/standard_log_rank.h); U and V are summed over the strata and the test is
// X = U' V^- U as there, over the groups with expected deaths.
#pragma once

#include <cstdint>
#include <span>

#include "stats/standard_log_rank.h"

namespace orv {

// Per case its group 0..groups-1, week, event (1 death) and stratum 0..strata-1; a case of
// another group or stratum is not counted. Weeks after lastWeek do not count: the caller
// censors a case followed beyond it at it.
LogRankTest StratifiedLogRankTest(std::span<const std::int32_t> group, std::span<const std::int32_t> week,
                                  std::span<const std::uint8_t> event, std::span<const std::int32_t> stratum,
                                  int groups, int strata, int lastWeek);

}  // namespace orv
