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

constexpr const char* kEnd = "\r\n";

std::string Period(const std::optional<double>& week) {
  if (!week) return kNotReachedJa;
  std::string text = PeriodText(*week);
  return text.substr(std::min(text.find_first_not_of(' '), text.size()));
}

// "3y 0m (2y 3m - 4y 1m)"; a median not reached, with no lower limit reached either, is
// "未到達" alone.
std::string MedianText(const MedianEstimate& m) {
  if (!m.week && !m.lower) return kNotReachedJa;
  return Period(m.week) + " (" + Period(m.lower) + " - " + Period(m.upper) + ")";
}

// "39.5 % (29.1 - 53.7 %)"; "観察期間外" where the data end earlier.
std::string SurvivalText(const std::optional<SurvivalEstimate>& e) {
  if (!e) return kBeyondDataJa;
  const std::string estimate = FixedFigure(e->survival * 100, 1) + " %";
  if (!std::isfinite(e->lower) || !std::isfinite(e->upper)) return estimate + " (" + kNotEstimableJa + ")";
  return estimate + " (" + FixedFigure(e->lower * 100, 1) + " - " + FixedFigure(e->upper * 100, 1) + " %)";
}

// The pooled row is named as in the CSV tables, "all Cases ( n = 42 )", like the other rows.
std::string Label(const AnalysisResults& r, int g) {
  if (g == 0) {
    return TwoWide(0) + " : " + r.cases.GroupNames[0] + " ( n = " + FormatNumber(static_cast<double>(r.survival.ShownCaseTotal)) + " )";
  }
  return TwoWide(g) + " : " + Trimmed(r.texts[static_cast<std::size_t>(g)][kLabel]);
}

std::string GroupRow(const AnalysisResults& r, int g) {
  const GroupEstimates& e = r.figures.groups[static_cast<std::size_t>(g)];
  return Label(r, g) + "\t" + MedianText(e.median) + "\t" + SurvivalText(e.at5y) + "\t" + SurvivalText(e.at10y) + kEnd;
}

// Events over the whole follow-up beside a median; over the tested weeks beside a ratio.
std::string EventsText(const ReviewerResults& v, int g, bool inWindow = false) {
  const auto gi = static_cast<std::size_t>(g);
  return FormatNumber(static_cast<double>(inWindow ? v.eventsInWindow[gi] : v.events[gi])) + "/" +
         FormatNumber(static_cast<double>(v.cases[gi]));
}

std::string ReferenceCell(const ReviewerResults& v, int g, bool& marked) {
  if (g == v.reference) return EventsText(v, g, true) + "  基準群\t";
  for (const ReferenceRatio& ratio : v.referenceRatios) {
    if (ratio.group != g) continue;
    const HazardRatio& h = ratio.ratio;
    if (!h.estimated) return EventsText(v, g, true) + "  " + kNotEstimableJa + "\t";
    std::string cell = EventsText(v, g, true) + "  " + IntervalText(h.hr, h.lower, h.upper, 3, "-") + "\t" + RoundedPText(h.p);
    if (ratio.ph.tested && ratio.ph.p < 0.05) {
      cell += " ※";
      marked = true;
    }
    return cell;
  }
  return std::string(kNotEstimableJa) + "\t";
}

// The reviewer's part: every line ends with CR LF.
std::string ReviewerPart(const AnalysisResults& r, const ReviewerResults& v) {
  std::string out = std::string(kEnd) + "基準群に対するハザード比 (95 % 信頼区間)" + kEnd;
  out += TestWindowTextJa(v.lastWeek) + kEnd;
  if (const std::string causes = CensoredCauseNames(r.cases, ", "); !causes.empty()) out += "原因別の解析で打ち切りとした原因: " + causes + kEnd;
  out += "log-rank 検定 ";
  if (v.shownGroups >= 2 && v.logRank.tested) {
    out += RoundedPText(v.logRank.p) + " (χ2 = " + FixedFigure(v.logRank.statistic, 2) + ", 自由度 " + FormatNumber(v.logRank.df) + ")";
    // The survival-rate view's statistic differs a little, and a reader comparing the two asks why.
    out += std::string(kEnd) + "(「生存率」ビューの Logrank( Peto & Peto ) は同じ検定の近似のため、値が少し異なる)";
  } else {
    out += kNotEstimableJa;
  }
  out += kEnd;
  out += std::string("群\t全期間のイベント数/症例数  中央値 (95 % CI)\t対象期間のイベント数/症例数  HR (群 vs 基準群) (95 % CI)\tp") + kEnd;
  bool marked = false;
  const int groups = std::clamp(r.cases.NumGroups, 0, kGroupSlots - 1);
  for (int g = 1; g <= groups; ++g) {
    if (!r.shown.Contains(g)) continue;
    out += Label(r, g) + "\t" + EventsText(v, g) + "  " + MedianText(r.figures.groups[static_cast<std::size_t>(g)].median) +
           "\t" + (v.shownGroups >= 2 ? ReferenceCell(v, g, marked) : std::string(kNotEstimableJa) + "\t") + kEnd;
  }
  if (v.referenceFellBack) {
    out += "基準群 " + TwoWide(v.requestedReference) + " は表示されていないため、表示中の最初の群 " + TwoWide(v.reference) +
           " を基準群とした" + kEnd;
  }
  // Evidence against proportional hazards, not proof that the ratio changes.
  if (marked) out += std::string("※ 比例ハザード性の検定で p < 0.05: 比例ハザード性に反する根拠あり。ハザード比は期間を通じた平均的な要約") + kEnd;
  return out;
}

// "  5年: 12.3 % (8.0 - 17.2 %)、1 - KM 13.0 %".
std::string IncidenceLine(const char* title, const std::optional<IncidenceAtYear>& e) {
  std::string line = std::string("  ") + title + ": ";
  if (!e) return line + kBeyondDataJa + kEnd;
  return line + FixedFigure(e->incidence * 100, 1) + " % (" + FixedFigure(e->lower * 100, 1) + " - " +
         FixedFigure(e->upper * 100, 1) + " %)、1 - KM " + FixedFigure(e->naive * 100, 1) + " %" + kEnd;
}

std::string GrayCell(const GrayTest& t) {
  if (!t.tested) return std::string("Gray 検定 ") + kNotEstimableJa;
  return "Gray 検定 χ2 = " + FixedFigure(t.statistic, 3) + ", 自由度 " + FormatNumber(t.df) + ", " + FigurePText(t.p);
}

std::string SubHazardCell(const SubHazardRatio& h) {
  if (!h.estimated) return std::string("部分分布ハザード比 ") + kNotEstimableJa;
  return "部分分布ハザード比 " + IntervalText(h.hr, h.lower, h.upper, 3, "-") + ", " + FigurePText(h.p);
}

// The competing-risks figures: per shown group the 5- and 10-year incidence beside the naive
// 1 - KM, Gray's test of the shown groups, per pair Gray's test and the Fine-Gray ratio of
// the left group against the right.
std::string CompetingPart(const AnalysisResults& r, const CompetingRisks& c) {
  if (!c.active) return {};
  std::string out = std::string(kEnd) + "競合リスクを考慮した累積発生率 (95 % 信頼区間)" + kEnd;
  out += "競合する原因: " + CensoredCauseNames(r.cases, ", ") + kEnd;
  const int groups = LastGroup(r.cases);
  for (int g = 0; g <= groups; ++g) {
    if (g == 0 ? r.figures.groups[0].km.empty() : !r.shown.Contains(g)) continue;
    const IncidenceEstimates& e = c.groups[static_cast<std::size_t>(g)].estimates;
    out += Label(r, g) + kEnd + IncidenceLine("5年", e.at5y) + IncidenceLine("10年", e.at10y);
  }
  out += "表示中の群: " + GrayCell(c.overall) + kEnd;
  for (int a = 1; a < groups; ++a) {
    for (int b = a + 1; b <= groups; ++b) {
      if (!r.shown.Contains(a) || !r.shown.Contains(b)) continue;
      const auto ai = static_cast<std::size_t>(a);
      const auto bi = static_cast<std::size_t>(b);
      out += TwoWide(b) + " / " + TwoWide(a) + "\t" + GrayCell(c.pairTests[ai][bi]) + "、" + SubHazardCell(c.ratios[ai][bi]) + kEnd;
    }
  }
  return out + "Aalen-Johansen 法、区間は対数変換による。部分分布ハザード比は Fine-Gray モデル (頑健分散)" + kEnd;
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
        out += std::string(kNotEstimableJa) + "\t";
      }
      out += kEnd;
    }
  }
  out += std::string("Cox 比例ハザードモデル (同順位は Efron 法、p は Wald 検定)、HR は左の群の右の群に対する比") + kEnd;
  return out;
}

}  // namespace orv
