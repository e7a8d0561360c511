// Kaplan-Meier estimates with Greenwood standard errors and log-scale intervals.
#include "survival/km_estimates.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "text/period_text.h"
#include "text/truncate.h"

namespace orv {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::optional<SurvivalEstimate> EstimateAt(const GroupEstimates& e, std::size_t week) {
  if (week >= e.km.size()) return std::nullopt;
  return SurvivalEstimate{e.km[week], e.lower[week], e.upper[week]};
}

}  // namespace

void EstimateGroup(const WeeklyCounts& counts, int xMax, GroupEstimates& out) {
  const std::size_t weeks = std::min(counts.deaths.size(), counts.atRisk.size());
  out.km.assign(weeks, kNaN);
  out.stdErr.assign(weeks, kNaN);
  out.lower.assign(weeks, kNaN);
  out.upper.assign(weeks, kNaN);
  out.atRisk.clear();
  out.median = {};
  out.at5y.reset();
  out.at10y.reset();
  // A group without cases has nothing to estimate, not a survival of 1 over no one.
  if (weeks == 0 || !(counts.atRisk[0] > 0)) {
    out.km.clear();
    out.stdErr.clear();
    out.lower.clear();
    out.upper.clear();
  }

  double s = 1;
  double g = 0;  // Greenwood's sum; infinite once a week has d = n
  for (std::size_t w = 0; w < out.km.size(); ++w) {
    const double d = counts.deaths[w];
    const double n = counts.atRisk[w];
    if (d > 0 && n > 0) {
      s *= 1 - d / n;
      g += d < n ? d / (n * (n - d)) : std::numeric_limits<double>::infinity();
    }
    out.km[w] = s;
    if (!std::isfinite(g)) continue;
    const double root = std::sqrt(g);
    out.stdErr[w] = s * root;
    if (s > 0) {
      const double factor = std::exp(kNormalQuantile975 * root);
      out.lower[w] = s / factor;
      out.upper[w] = std::min(1.0, s * factor);
    }
  }

  const std::span<const double> deaths = counts.deaths.first(out.km.size());
  out.median.week = MedianWeek(out.km, deaths);
  out.median.lower = MedianWeek(out.lower, deaths);
  out.median.upper = MedianWeek(out.upper, deaths);
  out.at5y = EstimateAt(out, kWeeksPerFiveYears);
  out.at10y = EstimateAt(out, kWeeksPerTenYears);

  for (int year = 0; static_cast<long long>(year) * kWeeksPerYear <= xMax; ++year) {
    const int week = year * kWeeksPerYear;
    // After the last event week nobody is under observation.
    const double n = static_cast<std::size_t>(week) < weeks ? counts.atRisk[static_cast<std::size_t>(week)] : 0;
    out.atRisk.push_back({year, week, TruncToInt64(n)});
  }
}

std::optional<double> MedianWeek(std::span<const double> curve, std::span<const double> deaths) {
  for (std::size_t w = 0; w < curve.size(); ++w) {
    const double v = curve[w];
    if (std::isnan(v) || v > 0.5 + kHalfTolerance) continue;
    if (v < 0.5 - kHalfTolerance) return static_cast<double>(w);
    // A stretch at exactly 0.5 ends with the next death, or with the last week observed.
    std::size_t end = curve.size() - 1;
    for (std::size_t v2 = w + 1; v2 < curve.size() && v2 < deaths.size(); ++v2) {
      if (deaths[v2] > 0) {
        end = v2;
        break;
      }
    }
    return (static_cast<double>(w) + static_cast<double>(end)) / 2;
  }
  return std::nullopt;
}

std::string PeriodText(double weeks) {
  return WeeksToYearsMonths(static_cast<std::uint32_t>(std::clamp<std::int64_t>(TruncToInt64(weeks), 0, 65535)));
}

}  // namespace orv
