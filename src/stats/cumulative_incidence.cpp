// Aalen-Johansen cumulative incidence with its delta-method standard error.
#include "stats/cumulative_incidence.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "survival/km_estimates.h"

namespace orv {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::optional<IncidenceAtYear> AtWeek(const IncidenceEstimates& e, const std::vector<double>& naive,
                                      std::size_t week) {
  if (week >= e.incidence.size()) return std::nullopt;
  return IncidenceAtYear{e.incidence[week], e.lower[week], e.upper[week], naive[week]};
}

}  // namespace

void EstimateIncidence(const CauseCounts& counts, IncidenceEstimates& out) {
  const std::size_t weeks = std::min({counts.atRisk.size(), counts.interest.size(), counts.competing.size()});
  out.incidence.assign(weeks, 0);
  out.stdErr.assign(weeks, 0);
  out.lower.assign(weeks, kNaN);
  out.upper.assign(weeks, kNaN);
  std::vector<double> naive(weeks, 0);

  double s = 1;          // all-cause Kaplan-Meier, S(v-1) at the top of week v
  double f = 0;          // F(v)
  double naiveKm = 1;    // Kaplan-Meier of the deaths of interest alone
  // The three sums of the variance, kept for the current week w without a loop over v <= w:
  // with a_v = d_v / (n_v (n_v - d_v)) and b_v = S(v-1) d1_v / n_v^2,
  //   squares = sum a_v (F(w) - F(v))^2,  cross = sum b_v (F(w) - F(v)),
  // moved to week w + 1 by F's step h: squares += 2 h sum a_v (F(w) - F(v)) + h^2 sum a_v,
  // cross += h sum b_v. Every update adds a term of one sign, so nothing cancels.
  double squares = 0, linear = 0, sumA = 0;
  double cross = 0, sumB = 0;
  double binomial = 0;  // sum S(v-1)^2 d1_v (n_v - d1_v) / n_v^3
  for (std::size_t w = 0; w < weeks; ++w) {
    const double n = counts.atRisk[w];
    const double d1 = counts.interest[w];
    const double d = d1 + counts.competing[w];
    if (n > 0 && d > 0) {
      const double step = s * d1 / n;
      squares += step * (2 * linear + step * sumA);
      linear += step * sumA;
      cross += step * sumB;
      f += step;
      // The new week's own terms have F(w) - F(w) = 0 and enter only the sums.
      if (d < n) sumA += d / (n * (n - d));
      sumB += s * d1 / (n * n);
      binomial += s * s * d1 * (n - d1) / (n * n * n);
      s *= 1 - d / n;
      naiveKm *= 1 - d1 / n;
    }
    out.incidence[w] = f;
    naive[w] = 1 - naiveKm;
    const double se = std::sqrt(std::max(0.0, squares + binomial - 2 * cross));
    out.stdErr[w] = se;
    if (f > 0 && f < 1) {
      const double logF = std::log(f);
      const double spread = std::exp(kNormalQuantile975 * se / (f * -logF));
      out.lower[w] = std::exp(logF * spread);
      out.upper[w] = std::exp(logF / spread);
    }
  }
  out.at5y = AtWeek(out, naive, 5 * kWeeksPerYear);
  out.at10y = AtWeek(out, naive, 10 * kWeeksPerYear);
}

}  // namespace orv
