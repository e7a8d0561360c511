// Median follow-up by the reverse Kaplan-Meier method (Schemper & Smith 1996): the same
// estimate as the median survival with the roles swapped, the cases alive at their last
// contact as the events and every death as censored, whatever its cause and whether or not
// the cause is counted as censored: a death ends a case's follow-up without being its end.
// As R survival's quantile(survfit(Surv(week, status == 0) ~ 1)) with status 0 alive, and
// with the same rules as the medians: Greenwood's variance, the log-scale 95 % interval, a
// curve at exactly 0.5 taking the midpoint to its next drop.
#pragma once

#include <span>

#include "survival/km_estimates.h"

namespace orv {

// One group's (or the pool's) weeks 0 to its last week observed: the cases alive at their
// last contact (the tables' censored cases without the deaths of a censored cause) and the
// number at risk at the start of each week. Empty members where the curve does not reach
// 0.5, or the group has no cases.
MedianEstimate MedianFollowUp(std::span<const double> alive, std::span<const double> atRisk);

}  // namespace orv
