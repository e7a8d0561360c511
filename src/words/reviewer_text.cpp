// Short texts of the reviewer's figures.
#include "words/reviewer_text.h"

#include <cmath>
#include <algorithm>
#include <cstdio>

#include "survival/km_estimates.h"
#include "text/cp932.h"
#include "text/number_text.h"
#include "text/period_text.h"
#include "words/format.h"

namespace orv {

namespace {

// UTF-8 texts: code page 932 has no en dash, so the section is written as UTF-8 throughout.
const std::string kDash = Utf8(u8"–");
const std::string kNotReached = Utf8(u8"未到達");
const std::string kMark = Utf8(u8"※");

std::string GroupName(const AnalysisResults& results, int g) { return results.cases.GroupNames[static_cast<std::size_t>(g)]; }

// "2 B" in UTF-8.
std::string GroupText(const AnalysisResults& results, int g) { return std::to_string(g) + " " + Cp932ToUtf8(GroupName(results, g)); }

// Events over the whole follow-up beside a median; over the tested weeks beside a ratio.
std::string EventsText(const ReviewerResults& r, int g, bool inWindow = false) {
  const auto gi = static_cast<std::size_t>(g);
  return std::to_string(inWindow ? r.eventsInWindow[gi] : r.events[gi]) + "/" + std::to_string(r.cases[gi]);
}

// Weeks in the unit of the text: whole weeks as they are, months and years with one decimal.
double InUnit(double weeks, TimeUnit unit) {
  return unit == TimeUnit::Months ? weeks * 7 / 30.4375 : unit == TimeUnit::Years ? weeks * 7 / 365.25 : weeks;
}
const char* UnitName(TimeUnit unit) { return unit == TimeUnit::Months ? "months" : unit == TimeUnit::Years ? "years" : "weeks"; }

std::string TimeOrNotReached(const std::optional<double>& weeks, TimeUnit unit) {
  if (!weeks) return kNotReached;
  return unit == TimeUnit::Weeks ? FormatNumber(*weeks) : FixedFigure(InUnit(*weeks, unit), 1);
}

// "35.9 (31.5 – 未到達)". A median without a lower limit has no interval at all (a curve
// that falls to 0 at its median): its limits are not "not reached" but n/a.
std::string LimitsText(const MedianEstimate& m, TimeUnit unit) {
  if (m.week && !m.lower) return TimeOrNotReached(m.week, unit) + " (n/a)";
  return TimeOrNotReached(m.week, unit) + " (" + TimeOrNotReached(m.lower, unit) + " " + kDash + " " +
         TimeOrNotReached(m.upper, unit) + ")";
}

bool GroupListed(const AnalysisResults& results, int g) {
  return g == 0 ? !results.figures.groups[0].km.empty() : results.shown.Contains(g);
}

std::string CsvWeeks(const std::optional<double>& weeks) { return weeks ? FormatNumber(*weeks) : std::string(); }

std::string CsvPeriod(const std::optional<double>& weeks) {
  if (!weeks) return {};
  std::string text = PeriodText(*weeks);
  return text.erase(0, text.find_first_not_of(' '));
}

}  // namespace


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

std::string TestWindowTextJa(int lastWeek) {
  std::string years;
  if (lastWeek % kWeeksPerYear == 0) {
    years = std::to_string(lastWeek / kWeeksPerYear) + " 年";
  } else {
    years = PeriodText(lastWeek);
    years.erase(0, years.find_first_not_of(' '));
  }
  return "検定とハザード比の対象期間: 0-" + std::to_string(lastWeek) + " 週 (0-" + years + ")";
}

std::string CensoredCausesText(const CaseData& cases, std::span<const std::string> causeLabels) {
  const std::string names = CensoredCauseNames(cases, ", ", causeLabels);
  // A cause need not be a death (a transplant), and the curves left are those of the other causes.
  return names.empty() ? names : "Cause-specific: " + names + " counted as censored";
}

std::string ReviewerText(const AnalysisResults& results, TimeUnit unit) {
  const std::string units = UnitName(unit);
  const ReviewerResults& r = results.run.reviewer;
  const int groups = LastGroup(results.cases);
  std::string out = "[Log-rank test, hazard ratios against a reference group, follow-up, restricted mean survival]\n";
  out += TestWindowText(r.lastWeek, kDash) + "\n";
  if (const std::string causes = CensoredCausesText(results.cases); !causes.empty()) out += Cp932ToUtf8(causes) + "\n";
  if (r.shownGroups < 2) {
    out += "Log-rank test: fewer than two groups shown\n";
  } else if (!r.logRank.tested) {
    out += "Log-rank test: no deaths to compare\n";
  } else {
    out += "Log-rank " + RoundedPText(r.logRank.p) + " (chi-square " + FixedFigure(r.logRank.statistic, 2) + ", " +
           std::to_string(r.logRank.df) + " df)\n";
  }

  out += std::string(CensoredCauseNames(results.cases, ", ").empty() ? "\nMedian survival (events/cases), "
                                                                     : "\nMedian cause-specific survival (events/cases), ") +
         units + ", 95 % CI:\n";
  for (int g = 0; g <= groups; ++g) {
    if (!GroupListed(results, g)) continue;
    const std::string name = g == 0 ? "all cases" : GroupText(results, g);
    out += "  " + name + " (" + EventsText(r, g) + "): " +
           LimitsText(results.figures.groups[static_cast<std::size_t>(g)].median, unit) + "\n";
  }
  out += "Median follow-up (reverse Kaplan" + kDash + "Meier), " + units + ", 95 % CI: all cases " +
         LimitsText(r.followUp[0], unit) + "\n";
  for (int g = 1; g <= groups; ++g) {
    if (results.shown.Contains(g)) out += "  " + GroupText(results, g) + ": " + LimitsText(r.followUp[static_cast<std::size_t>(g)], unit) + "\n";
  }

  if (r.reference != 0) {
    out += After("\n", Utf8(u8"HR (群 vs 基準群)")) + ", 95 % CI; reference group " + GroupText(results, r.reference);
    if (r.referenceFellBack) {
      out += " (the chosen reference " + GroupText(results, r.requestedReference) + " is hidden; the first shown group stands in)";
    }
    out += ":\n";
    bool marked = false;
    for (const ReferenceRatio& ratio : r.referenceRatios) {
      const HazardRatio& h = ratio.ratio;
      out += "  " + GroupText(results, ratio.group) + " vs " + GroupText(results, r.reference) + " (" + EventsText(r, ratio.group, true) +
             " vs " + EventsText(r, r.reference, true) + "): ";
      if (!h.estimated) {
        out += "n/a (no finite estimate)\n";
        continue;
      }
      out += IntervalText(h.hr, h.lower, h.upper, 2, kDash) + ", " + RoundedPText(h.p);
      if (ratio.ph.tested) {
        out += "; proportional hazards " + RoundedPText(ratio.ph.p);
        if (ratio.ph.p < 0.05) {
          out += " " + kMark;
          marked = true;
        }
      }
      out += "\n";
    }
    if (marked) {
      // A check below 0.05 is evidence against proportional hazards, no proof that the ratio changes.
      out += "  " + kMark +
             " proportional-hazards check p < 0.05: evidence against proportional hazards; the HR is a time-averaged "
             "summary, and the restricted means are given below\n";
    }
  }

  out += "\nRestricted mean survival to week " + std::to_string(r.lastWeek) + ", " + units + ", 95 % CI:\n";
  // An interval of no width (no event varies the estimate) is no finding: the estimate alone,
  // without a p, as the paragraphs write it.
  const auto interval = [&](double estimate, double lower, double upper) {
    if (!std::isfinite(lower) || !std::isfinite(upper) || lower == upper) return FixedFigure(InUnit(estimate, unit), 1);
    return IntervalText(InUnit(estimate, unit), InUnit(lower, unit), InUnit(upper, unit), 1, kDash);
  };
  for (int g = 1; g <= groups; ++g) {
    const RestrictedMean& m = r.rmst[static_cast<std::size_t>(g)];
    if (!results.shown.Contains(g) || !m.estimated) continue;
    out += "  " + GroupText(results, g) + ": " + interval(m.estimate, m.lower, m.upper) + "\n";
  }
  for (int a = 1; a < groups; ++a) {
    for (int b = a + 1; b <= groups; ++b) {
      const RestrictedMeanDifference& d = r.rmstDifference[static_cast<std::size_t>(a)][static_cast<std::size_t>(b)];
      if (!results.shown.Contains(a) || !results.shown.Contains(b) || !d.estimated) continue;
      out += "  " + GroupText(results, b) + " - " + GroupText(results, a) + ": " + interval(d.estimate, d.lower, d.upper) +
             (std::isfinite(d.p) && d.lower != d.upper ? ", " + RoundedPText(d.p) : std::string()) + "\n";
    }
  }
  return out;
}

std::string MediansCsv(const AnalysisResults& results, std::span<const std::string> labels) {
  std::string out = "group,name,shown,cases,events,median,lower,upper,medianPeriod,lowerPeriod,upperPeriod\r\n";
  const ReviewerResults& r = results.run.reviewer;
  for (int g = 0; g <= LastGroup(results.cases); ++g) {
    const auto gi = static_cast<std::size_t>(g);
    const MedianEstimate& m = results.figures.groups[gi].median;
    out += std::to_string(g) + "," + CsvField(LabelOr(labels, g, GroupName(results, g))) + "," + (results.shown.Contains(g) ? "1" : "0") + "," +
           std::to_string(r.cases[gi]) + "," + std::to_string(r.events[gi]) + "," + CsvWeeks(m.week) + "," +
           CsvWeeks(m.lower) + "," + CsvWeeks(m.upper) + "," + CsvPeriod(m.week) + "," + CsvPeriod(m.lower) + "," +
           CsvPeriod(m.upper) + "\r\n";
  }
  return out;
}

std::string HazardRatiosCsv(const AnalysisResults& results, std::span<const std::string> labels) {
  std::string out =
      "group,name,reference,referenceName,events,cases,referenceEvents,referenceCases,hazardRatio,lower,upper,p,"
      "phStatistic,phP,lastWeek\r\n";
  const ReviewerResults& r = results.run.reviewer;
  const auto ref = static_cast<std::size_t>(r.reference);
  for (const ReferenceRatio& ratio : r.referenceRatios) {
    const auto gi = static_cast<std::size_t>(ratio.group);
    const HazardRatio& h = ratio.ratio;
    auto hr = [&](double v) { return h.estimated ? CsvNumber(v) : std::string(); };
    auto ph = [&](double v) { return ratio.ph.tested ? CsvNumber(v) : std::string(); };
    out += std::to_string(ratio.group) + "," + CsvField(LabelOr(labels, ratio.group, GroupName(results, ratio.group))) + "," +
           std::to_string(r.reference) + "," + CsvField(LabelOr(labels, r.reference, GroupName(results, r.reference))) + "," + std::to_string(r.eventsInWindow[gi]) + "," +
           std::to_string(r.cases[gi]) + "," + std::to_string(r.eventsInWindow[ref]) + "," + std::to_string(r.cases[ref]) + "," +
           hr(h.hr) + "," + hr(h.lower) + "," + hr(h.upper) + "," + hr(h.p) + "," + ph(ratio.ph.statistic) + "," +
           ph(ratio.ph.p) + "," + std::to_string(r.lastWeek) + "\r\n";
  }
  return out;
}

}  // namespace orv
