// Layout of the forest plot.
#include "graph/forest_plot.h"

#include <algorithm>
#include <cmath>

#include "words/format.h"
#include "words/model_text.h"
#include "words/reviewer_text.h"

namespace orv {
namespace {

constexpr double kMargin = 30;
constexpr double kTop = 40;
constexpr double kGap = 30;
constexpr double kIndent = 40;
constexpr double kSquare = 18;       // side of an estimate's square
constexpr double kLineWidth = 3;
constexpr double kTickLength = 16;
constexpr double kLabelDrop = 56;    // tick labels' baseline under the axis
constexpr double kTitleDrop = 106;   // the axis title's
constexpr double kFootnoteDrop = 156;
constexpr double kFootnoteSize = 25;
constexpr double kBaseline = 0.72;   // of a row's height, from its top
constexpr double kMidHeight = 0.35;  // of a text's size above its baseline: where a square sits
// The axis keeps at least this share of the width: wider text columns shrink every text, to
// 6 pt at the least, as the publication figure's labels.
constexpr double kMinAxisShare = 0.35;
constexpr double kMinTextSize = 25;
constexpr Rgb kReferenceGrey = MakeRgb(0x80, 0x80, 0x80);

const char* const kCountsHeading = "Events/n";
const char* const kHrHeading = "HR (95% CI)";
const char* const kPHeading = "p";
const char* const kAxisTitle = "Hazard ratio (log scale)";

std::string HrText(const ForestRow& row) {
  if (row.heading) return {};
  if (row.reference) return "1 (reference)";
  if (!row.estimated) return kNoFigure;
  return IntervalText(row.hr, row.lower, row.upper, 2, "-");
}

// "0.5", "1", "20": as few decimals as the tick needs.
std::string TickText(double v) { return FixedFigure(v, v >= 1 ? 0 : v >= 0.1 ? 1 : 2); }

void AddText(FigureLayout& out, double x, double y, std::string text, double size, TextAnchor anchor, TextRole role) {
  if (text.empty()) return;
  out.texts.push_back({.x = x, .y = y, .text = std::move(text), .size = size, .anchor = anchor, .role = role});
}

std::string Counts(std::int64_t events, std::int64_t n) { return std::to_string(events) + "/" + std::to_string(n); }

ForestRow TermRow(std::string name, int indent, std::string counts, const CoxTerm& t) {
  return {.name = std::move(name), .indent = indent, .counts = std::move(counts), .estimated = t.estimated, .hr = t.hr,
          .lower = t.lower, .upper = t.upper, .p = t.estimated ? RoundedPFigure(t.p) : std::string()};
}

}  // namespace

std::vector<double> ForestTicks(double lower, double upper) {
  std::vector<double> all;
  for (double decade = kForestMinRatio; decade < kForestMaxRatio * 1.5; decade *= 10) {
    for (double m : {1.0, 2.0, 5.0}) {
      if (decade * m <= kForestMaxRatio * 1.0000001) all.push_back(decade * m);
    }
  }
  lower = std::clamp(std::min(lower, 1.0), kForestMinRatio, kForestMaxRatio);
  upper = std::clamp(std::max(upper, 1.0), kForestMinRatio, kForestMaxRatio);
  std::size_t first = 0, last = all.size() - 1;
  while (first + 1 < all.size() && all[first + 1] <= lower * 1.0000001) ++first;
  while (last > 0 && all[last - 1] >= upper / 1.0000001) --last;
  std::vector<double> ticks(all.begin() + static_cast<std::ptrdiff_t>(first), all.begin() + static_cast<std::ptrdiff_t>(last) + 1);
  // Too many to read: keep the ends, 1 and the multiples left after dropping the 2s, then the 5s.
  for (double drop : {2.0, 5.0}) {
    if (ticks.size() <= 7) break;
    std::vector<double> kept;
    for (std::size_t i = 0; i < ticks.size(); ++i) {
      const double mantissa = ticks[i] / std::pow(10.0, std::floor(std::log10(ticks[i]) + 1e-9));
      if (i == 0 || i + 1 == ticks.size() || std::abs(mantissa - drop) > 1e-6) kept.push_back(ticks[i]);
    }
    ticks = std::move(kept);
  }
  return ticks;
}

ForestInput ForestInputOf(const AnalysisResults& r) {
  ForestInput in;
  const AdjustedAnalysis& a = r.run.adjusted;
  if (!a.fitted || !a.model.refusal.empty()) return in;
  const CoxModel& m = a.model;
  const std::string covariates = CovariateNamesOf(r);
  const std::string strata = StrataNameOf(r);
  in.title = covariates.empty() ? "Cox model of the groups" : "Cox model adjusted for " + covariates;
  if (!strata.empty()) in.title += ", stratified by " + strata;
  for (const ModelRow& row : ModelRowsOf(r)) {
    const std::string name = row.continuous ? row.name + " (per unit)" : row.name;
    if (row.reference) {
      in.rows.push_back({.name = name, .counts = Counts(row.events, row.n), .reference = true});
    } else {
      in.rows.push_back(TermRow(name, 0, Counts(row.events, row.n), m.terms[static_cast<std::size_t>(row.term)]));
    }
  }
  if (const auto& s = a.subgroups; s && s->refusal.empty() && !s->levels.empty()) {
    in.rows.push_back({.name = "Subgroups by " + s->name + " (interaction p " +
                               (s->interaction.p < 0.001 ? std::string("< 0.001") : "= " + RoundedPFigure(s->interaction.p)) + ")",
                       .heading = true});
    const std::string reference = r.cases.GroupNames[static_cast<std::size_t>(a.referenceGroup)];
    for (const SubgroupLevel& level : s->levels) {
      const std::string counts = Counts(level.events, level.n);
      if (level.model.terms.size() == 1) {
        in.rows.push_back(TermRow(level.level, 1, counts, level.model.terms[0]));
        continue;
      }
      in.rows.push_back({.name = level.level, .indent = 1, .heading = true, .counts = counts});
      for (const CoxTerm& t : level.model.terms) in.rows.push_back(TermRow(t.name + " vs " + reference, 2, {}, t));
    }
  }
  in.footnote = TestWindowText(r.run.window.lastWeek, "-") + "; Efron ties; global likelihood-ratio " +
                RoundedPText(m.likelihoodRatio.p) + " (" + std::to_string(m.likelihoodRatio.df) + " df)";
  return in;
}

FigureLayout LayoutForestPlot(const ForestInput& in, const TextMeasure& measure) {
  FigureLayout out;
  const double width = kFigureWidth;
  // The columns at full size; every text shrinks alike when they leave the axis too little.
  double size = kFigureTextSize;
  double nameW = 0, countsW = 0, hrW = 0, pW = 0;
  const auto measureColumns = [&](double s) {
    nameW = std::max(measure(in.title, s), 0.0);
    countsW = measure(kCountsHeading, s);
    hrW = measure(kHrHeading, s);
    pW = measure(kPHeading, s);
    for (const ForestRow& row : in.rows) {
      const double name = measure(row.name, s) + kIndent * row.indent * s / kFigureTextSize;
      // A heading spans the figures' columns: it widens nothing but the names.
      if (!row.heading) nameW = std::max(nameW, name);
      countsW = std::max(countsW, measure(row.counts, s));
      hrW = std::max(hrW, measure(HrText(row), s));
      pW = std::max(pW, measure(row.p, s));
    }
  };
  measureColumns(size);
  const double texts = nameW + countsW + hrW + pW + 2 * kMargin + 5 * kGap;
  const double room = width * (1 - kMinAxisShare);
  if (texts > room) {
    size = std::max(kMinTextSize, size * (room - 2 * kMargin - 5 * kGap) / (texts - 2 * kMargin - 5 * kGap));
    measureColumns(size);
  }
  const double scale = size / kFigureTextSize;
  const double countsRight = kMargin + nameW + kGap + countsW;
  out.plotLeft = countsRight + kGap;
  const double pRight = width - kMargin;
  const double hrLeft = pRight - pW - kGap - hrW;
  out.plotRight = hrLeft - kGap;

  double lo = 1, hi = 1;
  for (const ForestRow& row : in.rows) {
    if (row.heading || row.reference || !row.estimated) continue;
    if (std::isfinite(row.lower)) lo = std::min(lo, row.lower);
    if (std::isfinite(row.upper)) hi = std::max(hi, row.upper);
  }
  const std::vector<double> ticks = ForestTicks(lo, hi);
  const double logLo = std::log(ticks.front()), logHi = std::log(ticks.back());
  const auto X = [&](double v) {
    const double t = (std::log(std::clamp(v, ticks.front(), ticks.back())) - logLo) / (logHi - logLo);
    return out.plotLeft + t * (out.plotRight - out.plotLeft);
  };

  const double rowHeight = kForestRowHeight * scale;
  double y = kTop;
  if (!in.title.empty()) {
    AddText(out, kMargin, y + kBaseline * rowHeight, in.title, size, TextAnchor::Left, TextRole::AxisTitle);
    y += rowHeight;
  }
  const double headBaseline = y + kBaseline * rowHeight;
  AddText(out, countsRight, headBaseline, kCountsHeading, size, TextAnchor::Right, TextRole::AxisTitle);
  AddText(out, hrLeft, headBaseline, kHrHeading, size, TextAnchor::Left, TextRole::AxisTitle);
  AddText(out, pRight, headBaseline, kPHeading, size, TextAnchor::Right, TextRole::AxisTitle);
  y += rowHeight;
  out.plotTop = y;
  for (const ForestRow& row : in.rows) {
    const double baseline = y + kBaseline * rowHeight;
    const double mid = baseline - kMidHeight * size;
    AddText(out, kMargin + kIndent * row.indent * scale, baseline, row.name, size, TextAnchor::Left, TextRole::Legend);
    AddText(out, countsRight, baseline, row.counts, size, TextAnchor::Right, TextRole::AtRiskNumber);
    AddText(out, hrLeft, baseline, HrText(row), size, TextAnchor::Left, TextRole::PValue);
    AddText(out, pRight, baseline, row.p, size, TextAnchor::Right, TextRole::PValue);
    if (!row.heading && !row.reference && row.estimated) {
      out.lines.push_back({.points = {{X(row.lower), mid}, {X(row.upper), mid}}, .colour = in.colour, .width = kLineWidth});
      const double x = X(row.hr), half = kSquare * scale / 2;
      out.fills.push_back({.points = {{x - half, mid - half}, {x + half, mid - half}, {x + half, mid + half}, {x - half, mid + half}},
                           .colour = in.colour});
    }
    y += rowHeight;
  }
  out.plotBottom = y;
  // The reference line first, so that the intervals cross over it.
  out.lines.insert(out.lines.begin(), FigureLine{.points = {{X(1), out.plotTop}, {X(1), out.plotBottom}},
                                                 .colour = kReferenceGrey, .style = 2, .width = kLineWidth});
  out.lines.push_back({.points = {{out.plotLeft, out.plotBottom}, {out.plotRight, out.plotBottom}}, .width = kLineWidth});
  for (double t : ticks) {
    out.lines.push_back({.points = {{X(t), out.plotBottom}, {X(t), out.plotBottom + kTickLength}}, .width = kLineWidth});
    AddText(out, X(t), out.plotBottom + kLabelDrop * scale, TickText(t), size, TextAnchor::Centre, TextRole::YearLabel);
  }
  AddText(out, (out.plotLeft + out.plotRight) / 2, out.plotBottom + kTitleDrop * scale, kAxisTitle, size, TextAnchor::Centre,
          TextRole::AxisTitle);
  double bottom = out.plotBottom + kTitleDrop * scale;
  if (!in.footnote.empty()) {
    const double footSize = std::min(kFootnoteSize, kFootnoteSize * (width - 2 * kMargin) / std::max(measure(in.footnote, kFootnoteSize), 1.0));
    bottom = out.plotBottom + kFootnoteDrop * scale;
    AddText(out, kMargin, bottom, in.footnote, footSize, TextAnchor::Left, TextRole::Footnote);
  }
  out.width = width;
  out.height = std::ceil(bottom + kMargin);
  out.dotsPerWeek = 0;
  return out;
}

}  // namespace orv
