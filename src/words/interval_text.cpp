// The interval and hazard-ratio text.
#include "words/interval_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "words/competing_text.h"
#include "words/figure_tables.h"
#include "words/reviewer_text.h"
#include "survival/km_estimates.h"
#include "text/number_text.h"
#include "words/format.h"

namespace orv {

namespace {

constexpr const char* kNotReached = "未到達";
constexpr const char* kEnd = "\r\n";

std::string Period(const std::optional<double>& week) {
  if (!week) return kNotReached;
  std::string text = PeriodText(*week);
  return text.substr(std::min(text.find_first_not_of(' '), text.size()));
}

// "3y 0m (2y 3m - 4y 1m)"; a median not reached, with no lower limit reached either, is
// "未到達" alone.
std::string MedianText(const MedianEstimate& m) {
  if (!m.week && !m.lower) return kNotReached;
  return Period(m.week) + " (" + Period(m.lower) + " - " + Period(m.upper) + ")";
}

// "39.5 % (29.1 - 53.7 %)"; "n/a" where the data end earlier.
std::string SurvivalText(const std::optional<SurvivalEstimate>& e) {
  if (!e) return kNoFigure;
  const std::string estimate = FixedFigure(e->survival * 100, 1) + " %";
  if (!std::isfinite(e->lower) || !std::isfinite(e->upper)) return estimate + " (" + kNoFigure + ")";
  return estimate + " (" + FixedFigure(e->lower * 100, 1) + " - " + FixedFigure(e->upper * 100, 1) + " %)";
}

std::string Label(const AnalysisResults& r, int g) {
  return TwoWide(g) + " : " + Trimmed(r.texts[static_cast<std::size_t>(g)][kLabel]);
}

std::string GroupRow(const AnalysisResults& r, int g) {
  const GroupEstimates& e = r.figures.groups[static_cast<std::size_t>(g)];
  return Label(r, g) + "\t" + MedianText(e.median) + "\t" + SurvivalText(e.at5y) + "\t" + SurvivalText(e.at10y) + kEnd;
}

std::string EventsText(const ReviewerResults& v, int g) {
  const auto gi = static_cast<std::size_t>(g);
  return FormatNumber(static_cast<double>(v.events[gi])) + "/" + FormatNumber(static_cast<double>(v.cases[gi]));
}

std::string ReferenceCell(const ReviewerResults& v, int g, bool& marked) {
  if (g == v.reference) return "基準群\t";
  for (const ReferenceRatio& ratio : v.referenceRatios) {
    if (ratio.group != g) continue;
    const HazardRatio& h = ratio.ratio;
    if (!h.estimated) return std::string(kNoFigure) + "\t" + kNoFigure;
    std::string cell = IntervalText(h.hr, h.lower, h.upper, 3, "-") + "\t" + RoundedPText(h.p);
    if (ratio.ph.tested && ratio.ph.p < 0.05) {
      cell += " ※";
      marked = true;
    }
    return cell;
  }
  return std::string(kNoFigure) + "\t" + kNoFigure;
}

// The reviewer's part: every line ends with CR LF.
std::string ReviewerPart(const AnalysisResults& r, const ReviewerResults& v) {
  std::string out = std::string(kEnd) + "基準群に対するハザード比 (95 % 信頼区間)" + kEnd;
  out += TestWindowText(v.lastWeek, "-") + kEnd;
  if (const std::string causes = CensoredCausesText(r.cases); !causes.empty()) out += causes + kEnd;
  out += std::string("Log-rank ") + (v.shownGroups >= 2 && v.logRank.tested ? RoundedPText(v.logRank.p) : "p = n/a");
  if (v.shownGroups >= 2 && v.logRank.tested) {
    out += " (chi2 " + FixedFigure(v.logRank.statistic, 2) + ", df " + FormatNumber(v.logRank.df) + ")";
  }
  out += kEnd;
  out += std::string("群\tevents/cases  中央値 (95 % CI)\tHR (群 vs 基準群) (95 % CI)\tp") + kEnd;
  bool marked = false;
  const int groups = std::clamp(r.cases.NumGroups, 0, kGroupSlots - 1);
  for (int g = 1; g <= groups; ++g) {
    if (!r.shown.Contains(g)) continue;
    out += Label(r, g) + "\t" + EventsText(v, g) + "  " + MedianText(r.figures.groups[static_cast<std::size_t>(g)].median) +
           "\t" + (v.shownGroups >= 2 ? ReferenceCell(v, g, marked) : std::string(kNoFigure) + "\t" + kNoFigure) + kEnd;
  }
  if (v.referenceFellBack) {
    out += "基準群 " + TwoWide(v.requestedReference) + " は表示されていないため、表示中の最初の群 " + TwoWide(v.reference) +
           " を基準群とした" + kEnd;
  }
  if (marked) out += std::string("※ 比例ハザード性の検定で p < 0.05: ハザード比は期間中一定ではない") + kEnd;
  return out;
}

// The competing-risks section with the window's line ends.
std::string CompetingPart(const AnalysisResults& r, const CompetingRisks& c) {
  const std::string section = CompetingRisksText(r, c);
  if (section.empty()) return section;
  std::string out = kEnd;
  for (char ch : section) {
    if (ch == '\n') {
      out += kEnd;
    } else {
      out += ch;
    }
  }
  return out;
}

}  // namespace

std::string IntervalsText(const AnalysisResults& r, const ReviewerResults& reviewer, const CompetingRisks& competing) {
  return IntervalsText(r) + ReviewerPart(r, reviewer) + CompetingPart(r, competing);
}

std::string IntervalsText(const AnalysisResults& r) {
  const int groups = std::clamp(r.cases.NumGroups, 0, kGroupSlots - 1);
  const auto shown = [&](int g) { return r.shown.Contains(g); };
  std::string out = std::string("生存期間中央値と生存率 (95 % 信頼区間)") + kEnd;
  out += std::string("群\t中央値 (95 % CI)\t5年生存率 (95 % CI)\t10年生存率 (95 % CI)") + kEnd;
  if (!r.figures.groups[0].km.empty()) out += GroupRow(r, 0);
  for (int g = 1; g <= groups; ++g) {
    if (shown(g)) out += GroupRow(r, g);
  }
  out += std::string("Kaplan-Meier 法、標準誤差は Greenwood の分散、区間は対数変換による") + kEnd;
  out += kEnd;
  out += std::string("ハザード比 (95 % 信頼区間)") + kEnd;
  if (r.tests.ShownGroupCount < 2) return out + "グラフは2本以上必要です" + kEnd;
  out += std::string("組み合せ\tHR (95 % CI)\tp") + kEnd;
  for (int a = 1; a < groups; ++a) {
    for (int b = a + 1; b <= groups; ++b) {
      if (!shown(a) || !shown(b)) continue;
      const HazardRatio& h = r.figures.hazardRatios[static_cast<std::size_t>(a)][static_cast<std::size_t>(b)];
      out += TwoWide(b) + " / " + TwoWide(a) + "\t";
      if (h.estimated) {
        out += IntervalText(h.hr, h.lower, h.upper, 3, "-") + "\t" + FigurePText(h.p);
      } else {
        out += std::string(kNoFigure) + "\t" + kNoFigure;
      }
      out += kEnd;
    }
  }
  out += std::string("Cox 比例ハザードモデル (同順位は Efron 法、p は Wald 検定)、HR は左の群の右の群に対する比") + kEnd;
  return out;
}

}  // namespace orv
