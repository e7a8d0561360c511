// Short texts of the reviewer's figures.
#include "words/reviewer_text.h"

#include <cmath>
#include <algorithm>
#include <cstdio>

#include "survival/km_estimates.h"
#include "text/period_text.h"
#include "words/format.h"

namespace orv {

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
  const std::string names = CensoredCauseNames(cases, ", ");
  return names.empty() ? names : "Deaths of " + names + " counted as censored";
}

}  // namespace orv
