// The analysis window of a run: the tested weeks and the labelled X range.
#include "survival/analysis_window.h"

#include <algorithm>

#include "text/period_text.h"

namespace orv {

namespace {

// The last week with a censoring or a death of group g; 0 without any.
int LastEventWeek(const CaseData& cases, std::size_t g) {
  for (int w = kMaxWeek; w > 0; --w) {
    const auto& week = cases.WeekCounts[static_cast<std::size_t>(w)];
    if (week[kCodeCensored][g] + week[kCodeDeath][g] != 0) return w;
  }
  return 0;
}

}  // namespace

int AxisWeeks(int weeks, int dataMaxWeeks) {
  if (weeks > dataMaxWeeks) return dataMaxWeeks / kWeeksPerYear * kWeeksPerYear + kWeeksPerYear;
  return std::max(weeks, kWeeksPerYear);
}

AnalysisWindow FitAnalysisWindow(int requestedWeeks, const CaseData& cases, const GroupSet& shown) {
  int last = 0;
  bool anyShown = false;
  for (int g = 1; g <= LastGroup(cases); ++g) {
    if (!shown.Contains(g)) continue;
    anyShown = true;
    last = std::max(last, LastEventWeek(cases, static_cast<std::size_t>(g)));
  }
  // Rounded up: a last event at an exact year boundary keeps that year.
  const int boundary = (last + kWeeksPerYear - 1) / kWeeksPerYear * kWeeksPerYear;
  const int lastWeek = anyShown ? std::min(requestedWeeks, boundary) : requestedWeeks;
  return {lastWeek, AxisWeeks(lastWeek, cases.dataMaxWeeks)};
}

}  // namespace orv
