// Aalen-Johansen cumulative incidence of the deaths of interest in one group, the deaths of
// the other causes competing: the estimate, its standard error and a pointwise 95 % interval
// per week, and the 5- and 10-year incidences beside the naive 1 - Kaplan-Meier.
//
// With n_v the cases at risk at the start of week v, d1_v its deaths of interest, d_v all its
// deaths and S the all-cause Kaplan-Meier estimate (S(-1) = 1):
//   F(w) = sum over v <= w of S(v-1) d1_v / n_v
//   Var F(w) = sum (F(w) - F(v))^2 d_v / (n_v (n_v - d_v))   (term 0 where d_v = n_v)
//            + sum S(v-1)^2 d1_v (n_v - d1_v) / n_v^3
//            - 2 sum (F(w) - F(v)) S(v-1) d1_v / n_v^2,
// the delta-method variance (Marubini and Valsecchi 1995), which R survival's
// multi-state survfit reports as the standard error of the state of interest.
// Interval on the log(-log) scale: F^exp(+/- z se / (F ln F)), z the 0.975 normal quantile;
// none where F is 0 or 1.
// Naive: 1 - prod over v <= w of (1 - d1_v / n_v), the competing deaths counted as censored.
// It overstates F whenever a competing death comes first, which is why it is shown beside it.
#pragma once

#include <optional>
#include <vector>

#include "stats/cause_counts.h"

namespace orv {

struct IncidenceAtYear {
  double incidence = 0;
  double lower = 0;  // NaN where there is no interval
  double upper = 0;
  double naive = 0;
};

struct IncidenceEstimates {
  // Per week of the counts; lower and upper are NaN where there is no interval.
  std::vector<double> incidence;
  std::vector<double> stdErr;
  std::vector<double> lower;
  std::vector<double> upper;
  std::optional<IncidenceAtYear> at5y;   // week 260, when the counts reach it
  std::optional<IncidenceAtYear> at10y;  // week 520
};

// Every figure above over the weeks of the counts (the caller passes weeks 0 to the group's
// last event week); interest, competing and atRisk are read, censored is not.
void EstimateIncidence(const CauseCounts& counts, IncidenceEstimates& out);

}  // namespace orv
