// The competing-risks section and CSV table.
#include "words/competing_text.h"

#include <algorithm>
#include <cmath>

#include "words/figure_tables.h"
#include "text/number_text.h"
#include "words/format.h"

namespace orv {

namespace {

std::string YearText(const char* title, const std::optional<IncidenceAtYear>& e) {
  std::string line = std::string("  ") + title + ": ";
  if (!e) return line + kNoFigure + " (the data end earlier)\n";
  return line + FigurePercent(e->incidence) + " (95 % CI " + FigurePercent(e->lower) + " to " + FigurePercent(e->upper) + "), 1 - KM " +
         FigurePercent(e->naive) + "\n";
}

std::string GrayText(const GrayTest& t) {
  if (!t.tested) return std::string("Gray n/a");
  return "Gray chi2 " + FixedFigure(t.statistic, 3) + ", df " + FormatNumber(t.df) + ", " + FigurePText(t.p);
}

std::string RatioText(const SubHazardRatio& h) {
  if (!h.estimated) return std::string("SHR n/a (no finite estimate)");
  return "SHR " + IntervalText(h.hr, h.lower, h.upper, 3, "to") + ", " + FigurePText(h.p);
}

}  // namespace

std::string CompetingRisksText(const AnalysisResults& r, const CompetingRisks& c) {
  if (!c.active) return {};
  std::string out = "[Cumulative incidence with competing risks (95 % CI)]\n";
  out += "competing causes: " + CensoredCauseNames(r.cases, ", ") + "\n";
  const int groups = LastGroup(r.cases);
  for (int g = 0; g <= groups; ++g) {
    if (g == 0 ? r.figures.groups[0].km.empty() : !r.shown.Contains(g)) continue;
    const IncidenceEstimates& e = c.groups[static_cast<std::size_t>(g)].estimates;
    out += Trimmed(r.texts[static_cast<std::size_t>(g)][kLabel]) + "\n";
    out += YearText("5 years", e.at5y);
    out += YearText("10 years", e.at10y);
  }
  out += "shown groups: " + GrayText(c.overall) + "\n";
  for (int a = 1; a < groups; ++a) {
    for (int b = a + 1; b <= groups; ++b) {
      if (!r.shown.Contains(a) || !r.shown.Contains(b)) continue;
      const auto ai = static_cast<std::size_t>(a);
      const auto bi = static_cast<std::size_t>(b);
      out += FormatNumber(b) + " " + r.cases.GroupNames[bi] + " vs " + FormatNumber(a) + " " + r.cases.GroupNames[ai] + ": " +
             GrayText(c.pairTests[ai][bi]) + "; " + RatioText(c.ratios[ai][bi]) + "\n";
    }
  }
  return out;
}

std::string CumulativeIncidenceCsv(const AnalysisResults& r, const CompetingRisks& c, std::span<const std::string> labels) {
  std::string out = "group,name,week,atRisk,interest,competing,cif,stdErr,lower,upper\r\n";
  if (!c.active) return out;
  const SurvivalTables& t = r.survival;
  for (int g = 0; g <= LastGroup(r.cases); ++g) {
    const auto gi = static_cast<std::size_t>(g);
    const GroupIncidence& group = c.groups[gi];
    const IncidenceEstimates& e = group.estimates;
    const std::string prefix = FormatNumber(g) + "," + CsvField(LabelOr(labels, g, r.cases.GroupNames[gi])) + ",";
    for (std::size_t w = 0; w < e.incidence.size(); ++w) {
      out += prefix + FormatNumber(static_cast<double>(w)) + "," + FormatNumber(static_cast<double>(t.AtRiskTable[w][gi])) + "," +
             CsvNumber(t.SurvivalTable[w][kDeaths][gi]) + "," + CsvNumber(group.competing[w]) + "," + CsvNumber(e.incidence[w]) +
             "," + CsvNumber(e.stdErr[w]) + "," + CsvNumber(e.lower[w]) + "," + CsvNumber(e.upper[w]) + "\r\n";
    }
  }
  return out;
}

}  // namespace orv
