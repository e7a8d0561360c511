// The summary text and the CSV tables of the publication figures.
#include "words/figure_tables.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "text/number_text.h"
#include "words/format.h"
#include "text/truncate.h"

namespace orv {

namespace {

// A week, possibly a midpoint, with its period: "130.5 weeks ( 2y 6m)".
std::string WeekText(const std::optional<double>& week) {
  if (!week) return "not reached";
  return FormatNumber(*week) + " weeks (" + PeriodText(*week) + ")";
}

std::string YearText(const char* title, const std::optional<SurvivalEstimate>& e) {
  std::string line = std::string("  ") + title + ": ";
  if (!e) return line + kNoFigure + " (the data end earlier)\n";
  return line + FigurePercent(e->survival) + " (95 % CI " + FigurePercent(e->lower) + " to " + FigurePercent(e->upper) + ")\n";
}

void AppendGroup(std::string& out, const AnalysisResults& r, int g) {
  const GroupEstimates& e = r.figures.groups[static_cast<std::size_t>(g)];
  out += Trimmed(r.texts[static_cast<std::size_t>(g)][kLabel]) + "\n";
  out += "  median: " + WeekText(e.median.week) + ", 95 % CI " + WeekText(e.median.lower) + " to " +
         WeekText(e.median.upper) + "\n";
  out += YearText("5 years", e.at5y);
  out += YearText("10 years", e.at10y);
  out += "  at risk (year: cases):";
  for (const AtRiskMark& m : e.atRisk) {
    out += (m.year == 0 ? " " : ", ") + FormatNumber(m.year) + ": " + FormatNumber(static_cast<double>(m.n));
  }
  out += "\n";
}

}  // namespace

std::string FiguresText(const AnalysisResults& r) {
  std::string out = "[Median, 5- and 10-year survival, numbers at risk]\n";
  const int groups = LastGroup(r.cases);
  if (!r.figures.groups[0].km.empty()) AppendGroup(out, r, 0);
  for (int g = 1; g <= groups; ++g) {
    if (r.shown.Contains(g)) AppendGroup(out, r, g);
  }
  out += "\n[Hazard ratios (95 % CI)]\n";
  for (int a = 1; a < groups; ++a) {
    for (int b = a + 1; b <= groups; ++b) {
      if (!r.shown.Contains(a) || !r.shown.Contains(b)) continue;
      const auto ai = static_cast<std::size_t>(a);
      const auto bi = static_cast<std::size_t>(b);
      const HazardRatio& h = r.figures.hazardRatios[ai][bi];
      out += FormatNumber(b) + " " + r.cases.GroupNames[bi] + " vs " + FormatNumber(a) + " " + r.cases.GroupNames[ai] + ": ";
      out += h.estimated ? "HR " + IntervalText(h.hr, h.lower, h.upper, 3, "to") + ", " + FigurePText(h.p)
                         : std::string("HR n/a (no finite estimate)");
      out += "\n";
    }
  }
  return out;
}

std::string LifeTablesCsv(const AnalysisResults& r, std::span<const std::string> labels) {
  std::string out = "group,name,week,atRisk,deaths,censored,km,stdErr,lower,upper\r\n";
  const SurvivalTables& t = r.survival;
  for (int g = 0; g <= LastGroup(r.cases); ++g) {
    const auto gi = static_cast<std::size_t>(g);
    const GroupEstimates& e = r.figures.groups[gi];
    const std::string prefix = FormatNumber(g) + "," + CsvField(LabelOr(labels, g, r.cases.GroupNames[gi])) + ",";
    for (std::size_t w = 0; w < e.km.size(); ++w) {
      out += prefix + FormatNumber(static_cast<double>(w)) + "," + FormatNumber(static_cast<double>(t.AtRiskTable[w][gi])) + "," +
             CsvNumber(t.SurvivalTable[w][kDeaths][gi]) + "," + CsvNumber(t.SurvivalTable[w][kCensored][gi]) + "," +
             CsvNumber(e.km[w]) + "," + CsvNumber(e.stdErr[w]) + "," + CsvNumber(e.lower[w]) + "," + CsvNumber(e.upper[w]) +
             "\r\n";
    }
  }
  return out;
}

std::string PairsCsv(const AnalysisResults& r, std::span<const std::string> labels) {
  std::string out =
      "a,b,nameA,nameB,logRankChi2,logRankP,wilcoxonChi2,wilcoxonP,hazardRatio,hrLower,hrUpper,hrP\r\n";
  const bool tested = r.tests.ShownGroupCount >= 2;
  const PairStats& p = r.tests.pairs;
  const int groups = LastGroup(r.cases);
  for (int a = 1; a < groups; ++a) {
    for (int b = a + 1; b <= groups; ++b) {
      const auto ai = static_cast<std::size_t>(a);
      const auto bi = static_cast<std::size_t>(b);
      auto test = [&](const PairTable& table) { return tested ? CsvNumber(table[ai][bi]) : std::string(); };
      const HazardRatio& h = r.figures.hazardRatios[ai][bi];
      auto hr = [&](double v) { return h.estimated ? CsvNumber(v) : std::string(); };
      out += FormatNumber(a) + "," + FormatNumber(b) + "," + CsvField(LabelOr(labels, a, r.cases.GroupNames[ai])) + "," +
             CsvField(LabelOr(labels, b, r.cases.GroupNames[bi])) + "," + test(p.LogRankChi2) + "," + test(p.LogRankP) + "," +
             test(p.WilcoxonChi2) + "," + test(p.WilcoxonP) + "," + hr(h.hr) + "," + hr(h.lower) + "," + hr(h.upper) + "," +
             hr(h.p) + "\r\n";
    }
  }
  return out;
}

}  // namespace orv
