// Short texts of the reviewer's figures.
#include "stats/reviewer_text.h"

#include <cmath>
#include <algorithm>
#include <cstdio>

#include "survival/km_estimates.h"
#include "text/period_text.h"

namespace orv {

std::string RoundedPText(double p) {
  if (!std::isfinite(p)) return "p = n/a";
  if (p < 0.001) return "p < 0.001";
  // Two significant figures: decimals from the leading digit's place, one fewer when the
  // rounding carries into the next place (0.0996 gives 0.10, not 0.100).
  int decimals = std::max(1, 1 - static_cast<int>(std::floor(std::log10(p))));
  const double rounded = std::round(p * std::pow(10.0, decimals)) / std::pow(10.0, decimals);
  if (decimals > 1 && rounded >= std::pow(10.0, 2 - decimals)) --decimals;
  char text[32];
  std::snprintf(text, sizeof text, "p = %.*f", decimals, p);
  return text;
}

std::string TestWindowText(int lastWeek, std::string_view dash) {
  std::string years;
  if (lastWeek % kWeeksPerYear == 0) {
    const int n = lastWeek / kWeeksPerYear;
    years = std::to_string(n) + (n == 1 ? " year" : " years");
  } else {
    years = PeriodText(lastWeek);
    years.erase(0, years.find_first_not_of(' '));
  }
  const std::string d(dash);
  return "Tests and hazard ratios over weeks 0" + d + std::to_string(lastWeek) + " (0" + d + years + ")";
}

std::string CensoredCausesText(const CaseData& cases) {
  std::string names;
  for (int j = 1; j <= cases.NumCauses; ++j) {
    if (cases.CauseCensored[static_cast<std::size_t>(j)] == 1) {
      names += (names.empty() ? "" : ", ") + cases.CauseNames[static_cast<std::size_t>(j)];
    }
  }
  return names.empty() ? names : "Deaths of " + names + " counted as censored";
}

}  // namespace orv
