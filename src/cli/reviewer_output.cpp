// The reviewer's figures as JSON members, as the text section and as two CSV files.
#include "cli/reviewer_output.h"

#include <cmath>
#include <optional>
#include <string_view>

#include "cli/encoding.h"
#include "words/figure_tables.h"
#include "words/reviewer_text.h"
#include "text/number_text.h"

namespace orv::cli {
namespace {

// UTF-8 texts: code page 932 has no en dash, so the section is written as UTF-8 throughout.
std::string Utf8(std::u8string_view text) { return {reinterpret_cast<const char*>(text.data()), text.size()}; }
const std::string kDash = Utf8(u8"–");
const std::string kNotReached = Utf8(u8"未到達");
const std::string kMark = Utf8(u8"※");

void WriteNumber(JsonWriter& json, bool known, double value) {
  if (known) {
    json.Double(value);
  } else {
    json.Null();
  }
}

void WriteOptionalMember(JsonWriter& json, const char* name, const std::optional<double>& value) {
  json.Key(name);
  WriteNumber(json, value.has_value(), value.value_or(0));
}

std::string GroupName(const Workspace& ws, int g) { return ws.cases.GroupNames[static_cast<std::size_t>(g)]; }

// "2 B" in UTF-8.
std::string GroupText(const Workspace& ws, int g) { return std::to_string(g) + " " + Cp932ToUtf8(GroupName(ws, g)); }

std::string EventsText(const ReviewerResults& r, int g) {
  const auto gi = static_cast<std::size_t>(g);
  return std::to_string(r.events[gi]) + "/" + std::to_string(r.cases[gi]);
}

// A period without its leading spaces, or "未到達".
std::string PeriodOrNotReached(const std::optional<double>& weeks) {
  if (!weeks) return kNotReached;
  std::string text = PeriodText(*weeks);
  text.erase(0, text.find_first_not_of(' '));
  return text;
}

// "7y 6m (5y 2m – 未到達)". A median without a lower limit has no interval at all (a curve
// that falls to 0 at its median): its limits are not "not reached" but n/a.
std::string LimitsText(const MedianEstimate& m) {
  if (m.week && !m.lower) return PeriodOrNotReached(m.week) + " (n/a)";
  return PeriodOrNotReached(m.week) + " (" + PeriodOrNotReached(m.lower) + " " + kDash + " " +
         PeriodOrNotReached(m.upper) + ")";
}

std::string IntervalText(double estimate, double lower, double upper, int decimals) {
  return FixedFigure(estimate, decimals) + " (" + FixedFigure(lower, decimals) + " " + kDash + " " +
         FixedFigure(upper, decimals) + ")";
}

bool GroupListed(const Workspace& ws, int g) {
  return g == 0 ? !ws.run.figures.groups[0].km.empty() : ws.shown.Contains(g);
}

std::string CsvNumber(double value) { return std::isfinite(value) ? FormatNumber(value) : std::string(); }

std::string CsvWeeks(const std::optional<double>& weeks) { return weeks ? FormatNumber(*weeks) : std::string(); }

std::string CsvPeriod(const std::optional<double>& weeks) {
  if (!weeks) return {};
  std::string text = PeriodText(*weeks);
  return text.erase(0, text.find_first_not_of(' '));
}

}  // namespace

void WriteReviewerMembers(JsonWriter& json, const Workspace& ws) {
  const ReviewerResults& r = ws.run.reviewer;
  json.Key("logRank");
  if (r.shownGroups < 2) {
    json.Null();
  } else {
    json.BeginObject();
    json.Key("statistic");
    WriteNumber(json, r.logRank.tested, r.logRank.statistic);
    json.Key("df");
    if (r.logRank.tested) {
      json.Integer(r.logRank.df);
    } else {
      json.Null();
    }
    json.Key("p");
    WriteNumber(json, r.logRank.tested, r.logRank.p);
    json.Member("lastWeek", r.lastWeek);
    json.EndObject();
  }
  json.Key("reference");
  if (r.reference == 0) {
    json.Null();
  } else {
    json.Integer(r.reference);
  }
  json.Key("referenceRatios");
  json.BeginArray();
  for (const ReferenceRatio& ratio : r.referenceRatios) {
    const HazardRatio& h = ratio.ratio;
    json.BeginObject();
    json.Member("group", ratio.group);
    json.Key("hazardRatio");
    WriteNumber(json, h.estimated, h.hr);
    json.Key("lower");
    WriteNumber(json, h.estimated, h.lower);
    json.Key("upper");
    WriteNumber(json, h.estimated, h.upper);
    json.Key("p");
    WriteNumber(json, h.estimated, h.p);
    json.Key("phStatistic");
    WriteNumber(json, ratio.ph.tested, ratio.ph.statistic);
    json.Key("phP");
    WriteNumber(json, ratio.ph.tested, ratio.ph.p);
    json.EndObject();
  }
  json.EndArray();
}

void WriteReviewerGroupMembers(JsonWriter& json, const Workspace& ws, int g) {
  const ReviewerResults& r = ws.run.reviewer;
  const auto gi = static_cast<std::size_t>(g);
  json.Member("events", r.events[gi]);
  json.Key("rmst");
  const RestrictedMean& m = r.rmst[gi];
  if (!m.estimated) {
    json.Null();
  } else {
    json.BeginObject();
    json.Member("tau", m.tau);
    json.Member("estimate", m.estimate);
    json.Member("stdErr", m.stdErr);
    json.Member("lower", m.lower);
    json.Member("upper", m.upper);
    json.EndObject();
  }
  json.Key("followUp");
  if (r.cases[gi] == 0) {
    json.Null();
  } else {
    const MedianEstimate& f = r.followUp[gi];
    json.BeginObject();
    WriteOptionalMember(json, "median", f.week);
    WriteOptionalMember(json, "lower", f.lower);
    WriteOptionalMember(json, "upper", f.upper);
    json.EndObject();
  }
}

void WriteReviewerPairMembers(JsonWriter& json, const Workspace& ws, int a, int b) {
  const auto ai = static_cast<std::size_t>(a);
  const auto bi = static_cast<std::size_t>(b);
  const ProportionalHazardsTest& ph = ws.run.reviewer.pairPh[ai][bi];
  json.Key("phStatistic");
  WriteNumber(json, ph.tested, ph.statistic);
  json.Key("phP");
  WriteNumber(json, ph.tested, ph.p);
  json.Key("rmstDifference");
  const RestrictedMeanDifference& d = ws.run.reviewer.rmstDifference[ai][bi];
  if (!d.estimated) return json.Null();
  json.BeginObject();
  json.Member("estimate", d.estimate);
  json.Member("lower", d.lower);
  json.Member("upper", d.upper);
  json.Member("p", d.p);
  json.EndObject();
}

std::string ReviewerText(const Workspace& ws) {
  const ReviewerResults& r = ws.run.reviewer;
  const int groups = LastGroup(ws.cases);
  std::string out = "[Log-rank test, hazard ratios against a reference group, follow-up, restricted mean survival]\n";
  out += TestWindowText(r.lastWeek, kDash) + "\n";
  if (const std::string causes = CensoredCausesText(ws.cases); !causes.empty()) out += Cp932ToUtf8(causes) + "\n";
  if (r.shownGroups < 2) {
    out += "Log-rank test: fewer than two groups shown\n";
  } else if (!r.logRank.tested) {
    out += "Log-rank test: no deaths to compare\n";
  } else {
    out += "Log-rank " + RoundedPText(r.logRank.p) + " (chi-square " + FixedFigure(r.logRank.statistic, 2) + ", " +
           std::to_string(r.logRank.df) + " df)\n";
  }

  out += "\nMedian survival (events/cases), 95 % CI:\n";
  for (int g = 0; g <= groups; ++g) {
    if (!GroupListed(ws, g)) continue;
    const std::string name = g == 0 ? "all cases" : GroupText(ws, g);
    out += "  " + name + " (" + EventsText(r, g) + "): " +
           LimitsText(ws.run.figures.groups[static_cast<std::size_t>(g)].median) + "\n";
  }
  out += "Median follow-up (reverse Kaplan" + kDash + "Meier), 95 % CI: all cases " +
         LimitsText(r.followUp[0]) + "\n";
  for (int g = 1; g <= groups; ++g) {
    if (ws.shown.Contains(g)) out += "  " + GroupText(ws, g) + ": " + LimitsText(r.followUp[static_cast<std::size_t>(g)]) + "\n";
  }

  if (r.reference != 0) {
    out += "\n" + Utf8(u8"HR (群 vs 基準群)") + ", 95 % CI; reference group " + GroupText(ws, r.reference);
    if (r.referenceFellBack) {
      out += " (the chosen reference " + GroupText(ws, r.requestedReference) + " is hidden; the first shown group stands in)";
    }
    out += ":\n";
    bool marked = false;
    for (const ReferenceRatio& ratio : r.referenceRatios) {
      const HazardRatio& h = ratio.ratio;
      out += "  " + GroupText(ws, ratio.group) + " vs " + GroupText(ws, r.reference) + " (" + EventsText(r, ratio.group) +
             " vs " + EventsText(r, r.reference) + "): ";
      if (!h.estimated) {
        out += "n/a (no finite estimate)\n";
        continue;
      }
      out += IntervalText(h.hr, h.lower, h.upper, 2) + ", " + RoundedPText(h.p);
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
      out += "  " + kMark +
             " proportional-hazards check p < 0.05: the ratio changes over time; compare the restricted means\n";
    }
  }

  out += "\nRestricted mean survival to week " + std::to_string(r.lastWeek) + ", weeks, 95 % CI:\n";
  for (int g = 1; g <= groups; ++g) {
    const RestrictedMean& m = r.rmst[static_cast<std::size_t>(g)];
    if (!ws.shown.Contains(g) || !m.estimated) continue;
    out += "  " + GroupText(ws, g) + ": " + IntervalText(m.estimate, m.lower, m.upper, 1) + "\n";
  }
  for (int a = 1; a < groups; ++a) {
    for (int b = a + 1; b <= groups; ++b) {
      const RestrictedMeanDifference& d = r.rmstDifference[static_cast<std::size_t>(a)][static_cast<std::size_t>(b)];
      if (!ws.shown.Contains(a) || !ws.shown.Contains(b) || !d.estimated) continue;
      out += "  " + GroupText(ws, b) + " - " + GroupText(ws, a) + ": " + IntervalText(d.estimate, d.lower, d.upper, 1) +
             ", " + RoundedPText(d.p) + "\n";
    }
  }
  return out;
}

std::string MediansCsv(const Workspace& ws) {
  std::string out = "group,name,shown,cases,events,median,lower,upper,medianPeriod,lowerPeriod,upperPeriod\r\n";
  const ReviewerResults& r = ws.run.reviewer;
  for (int g = 0; g <= LastGroup(ws.cases); ++g) {
    const auto gi = static_cast<std::size_t>(g);
    const MedianEstimate& m = ws.run.figures.groups[gi].median;
    out += std::to_string(g) + "," + CsvField(GroupName(ws, g)) + "," + (ws.shown.Contains(g) ? "1" : "0") + "," +
           std::to_string(r.cases[gi]) + "," + std::to_string(r.events[gi]) + "," + CsvWeeks(m.week) + "," +
           CsvWeeks(m.lower) + "," + CsvWeeks(m.upper) + "," + CsvPeriod(m.week) + "," + CsvPeriod(m.lower) + "," +
           CsvPeriod(m.upper) + "\r\n";
  }
  return out;
}

std::string HazardRatiosCsv(const Workspace& ws) {
  std::string out =
      "group,name,reference,referenceName,events,cases,referenceEvents,referenceCases,hazardRatio,lower,upper,p,"
      "phStatistic,phP,lastWeek\r\n";
  const ReviewerResults& r = ws.run.reviewer;
  const auto ref = static_cast<std::size_t>(r.reference);
  for (const ReferenceRatio& ratio : r.referenceRatios) {
    const auto gi = static_cast<std::size_t>(ratio.group);
    const HazardRatio& h = ratio.ratio;
    auto hr = [&](double v) { return h.estimated ? CsvNumber(v) : std::string(); };
    auto ph = [&](double v) { return ratio.ph.tested ? CsvNumber(v) : std::string(); };
    out += std::to_string(ratio.group) + "," + CsvField(GroupName(ws, ratio.group)) + "," + std::to_string(r.reference) +
           "," + CsvField(GroupName(ws, r.reference)) + "," + std::to_string(r.events[gi]) + "," +
           std::to_string(r.cases[gi]) + "," + std::to_string(r.events[ref]) + "," + std::to_string(r.cases[ref]) + "," +
           hr(h.hr) + "," + hr(h.lower) + "," + hr(h.upper) + "," + hr(h.p) + "," + ph(ratio.ph.statistic) + "," +
           ph(ratio.ph.p) + "," + std::to_string(r.lastWeek) + "\r\n";
  }
  return out;
}

}  // namespace orv::cli
