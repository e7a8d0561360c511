// Layout of the publication figure.
#include "graph/publication_figure.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <optional>

#include "words/format.h"
#include "words/reviewer_text.h"
#include "survival/survival_tables.h"
#include "text/cp932.h"

namespace orv {
namespace {

constexpr double kMargin = 30;
constexpr double kPlotTop = 40;
constexpr double kTickLength = 16;
constexpr double kMinorTickLength = 9;
constexpr double kAxisWidth = 3;
constexpr double kCensorHalfHeight = 11;
constexpr double kCensorWidth = 3;
constexpr double kSampleLength = 72;
constexpr double kSampleGap = 14;
// Between an at-risk label and the first column of numbers.
constexpr double kLabelGap = 40;
constexpr double kRowHeight = 44;
constexpr double kBandOpacity = 0.15;
// Baselines below the X axis: year labels, the axis title, the at-risk heading.
constexpr double kYearLabelDrop = 56;
constexpr double kAxisTitleDrop = 106;
constexpr double kAtRiskTitleDrop = 170;
// Half a text's height above its baseline: where a line sample or a tick meets it.
constexpr double kMidHeight = 0.35;
// The plot keeps at least half the figure's height however many groups are listed, and
// the label column at most 40 % of its width.
constexpr double kMinPlotShare = 0.5;
constexpr double kMaxLabelShare = 0.4;
constexpr std::array<int, 6> kYearSteps = {1, 2, 5, 10, 20, 40};
// The smallest size of the legend and the at-risk table, 6 pt: a name too wide for its
// place at that size is cut instead.
constexpr double kMinTextSize = 25;
constexpr char kEllipsis[] = "\x81\x63";  // "…"
// The footnote stands in the bottom margin, under the last row of numbers at risk, in 6 pt
// so that nothing above it moves.
constexpr double kFootnoteSize = 25;
constexpr double kFootnoteDrop = 6;  // its baseline above the figure's lower edge
// A window's Y title stands across in a line of its own above the plot, its baseline 10 dots
// below the figure's usual plot top.
constexpr double kTitleRoom = kRowHeight;
constexpr double kTitleBaseline = kPlotTop + 10;
// The part of a size a text covers above its baseline (the rest of its em lies below).
constexpr double kAscent = 0.8;

double CurveWidth(int barWidth) { return 2.5 * std::clamp(barWidth, 1, 5); }

// "p=0.0019 " as the views write it, spaced for print: "p = 0.0019".
std::string SpacedP(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.size() >= 2 && text[0] == 'p' && (text[1] == '=' || text[1] == '<' || text[1] == '>')) {
    return std::string("p ") + text[1] + " " + std::string(text.substr(2));
  }
  return std::string(text);
}

struct Frame {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;
  double dotsPerWeek = 0;
  double X(double week) const { return left + week * dotsPerWeek; }
  double Y(double survival) const { return bottom - survival * (bottom - top); }
};

void AddText(FigureLayout& out, double x, double y, std::string text, double size, TextAnchor anchor, TextRole role) {
  out.texts.push_back({.x = x, .y = y, .text = std::move(text), .size = size, .anchor = anchor, .role = role});
}

void AddCurve(FigureLayout& out, const Frame& f, const FigureSeries& s, int endWeek) {
  FigureLine line{.colour = s.colour, .style = s.style, .width = CurveWidth(s.width)};
  double level = s.start;
  line.points.push_back({f.X(0), f.Y(level)});
  for (int w = 0; w <= endWeek && w < static_cast<int>(s.survival.size()); ++w) {
    const double next = s.survival[static_cast<std::size_t>(w)];
    if (next == level) continue;
    if (line.points.back().x != f.X(w)) line.points.push_back({f.X(w), f.Y(level)});
    line.points.push_back({f.X(w), f.Y(next)});
    level = next;
  }
  if (line.points.back().x != f.X(endWeek)) line.points.push_back({f.X(endWeek), f.Y(level)});
  out.lines.push_back(std::move(line));
}

void AddCensorMarks(FigureLayout& out, const Frame& f, const FigureSeries& s, int endWeek) {
  const int last = std::min({endWeek, static_cast<int>(s.censored.size()) - 1, static_cast<int>(s.survival.size()) - 1});
  for (int w = 0; w <= last; ++w) {
    if (!s.censored[static_cast<std::size_t>(w)]) continue;
    const double y = f.Y(s.survival[static_cast<std::size_t>(w)]);
    out.lines.push_back({.points = {{f.X(w), y - kCensorHalfHeight}, {f.X(w), y + kCensorHalfHeight}},
                         .colour = s.colour,
                         .width = kCensorWidth});
  }
}

// The band of each run of weeks with both limits, each week's limits holding from its own
// mark to the next week's, as the curve's level does; the curve's last week has no width.
void AddBands(FigureLayout& out, const Frame& f, const FigureSeries& s, int endWeek) {
  const int last = std::min({endWeek - 1, static_cast<int>(s.lower.size()) - 1, static_cast<int>(s.upper.size()) - 1});
  auto has = [&](int w) {
    return std::isfinite(s.lower[static_cast<std::size_t>(w)]) && std::isfinite(s.upper[static_cast<std::size_t>(w)]);
  };
  int w = 0;
  while (w <= last) {
    if (!has(w)) {
      ++w;
      continue;
    }
    const int a = w;
    while (w + 1 <= last && has(w + 1)) ++w;
    const int b = w;
    ++w;
    auto lo = [&](int v) { return f.Y(s.lower[static_cast<std::size_t>(v)]); };
    auto up = [&](int v) { return f.Y(s.upper[static_cast<std::size_t>(v)]); };
    FigureFill fill{.colour = s.colour, .opacity = kBandOpacity};
    auto& p = fill.points;
    p.push_back({f.X(a), up(a)});
    for (int v = a + 1; v <= b; ++v) {
      if (up(v) == up(v - 1)) continue;
      p.push_back({f.X(v), up(v - 1)});
      p.push_back({f.X(v), up(v)});
    }
    p.push_back({f.X(b + 1), up(b)});
    p.push_back({f.X(b + 1), lo(b)});
    for (int v = b; v > a; --v) {
      if (lo(v) == lo(v - 1)) continue;
      p.push_back({f.X(v), lo(v)});
      p.push_back({f.X(v), lo(v - 1)});
    }
    p.push_back({f.X(a), lo(a)});
    out.fills.push_back(std::move(fill));
  }
}

// A group's line sample ending at x + kSampleLength, level with the middle of a text.
void AddSample(FigureLayout& out, double x, double baseline, double size, const FigureSeries& s) {
  const double y = baseline - kMidHeight * size;
  out.lines.push_back({.points = {{x, y}, {x + kSampleLength, y}},
                       .colour = s.colour,
                       .style = s.style,
                       .width = CurveWidth(s.width)});
}

std::int64_t AtRiskAt(const FigureSeries& s, int k) {
  return k < static_cast<int>(s.atRisk.size()) ? s.atRisk[static_cast<std::size_t>(k)] : 0;
}

// The weeks of the tests and the censored causes in one line at the bottom left, shrunk to
// the figure's width. Drawn in UTF-8 for its en dashes; measured in code page 932 with two
// hyphens for each dash, which are a little wider.
void AddFootnote(FigureLayout& out, const FigureInput& in, const TextMeasure& measure) {
  if (in.testLastWeek < 0) return;
  std::string measured = TestWindowText(in.testLastWeek, "--");
  std::string text = TestWindowText(in.testLastWeek, "\xE2\x80\x93");
  if (!in.censoredCauses.empty()) {
    measured += ". " + in.censoredCauses;
    text += ". " + Cp932ToUtf8(in.censoredCauses);
  }
  const double room = kFigureWidth - 2 * kMargin;
  const double size = std::min(kFootnoteSize, kFootnoteSize * room / std::max(measure(measured, kFootnoteSize), 1.0));
  out.texts.push_back({.x = kMargin,
                       .y = kFigureHeight - kFootnoteDrop,
                       .text = std::move(text),
                       .size = size,
                       .role = TextRole::Footnote,
                       .utf8 = true});
}

// The name whole when it fits `room` at `size`, else its longest start (whole characters;
// with `atWord`, ending between words) with "…" that fits; the CSV files keep the whole name.
std::string FitName(const std::string& name, double size, double room, const TextMeasure& measure, bool atWord = false) {
  if (measure(name, size) <= room) return name;
  std::vector<std::size_t> ends;  // where each character ends
  for (std::size_t i = 0; i < name.size();) {
    i += IsLeadByte(static_cast<unsigned char>(name[i])) && i + 1 < name.size() ? 2 : 1;
    ends.push_back(i);
  }
  auto cut = [&](std::size_t n) { return name.substr(0, n) + kEllipsis; };
  std::size_t lo = 0;
  std::size_t hi = ends.size();  // the first count of characters known too long
  while (hi - lo > 1) {
    const std::size_t mid = (lo + hi) / 2;
    (measure(cut(ends[mid - 1]), size) <= room ? lo : hi) = mid;
  }
  if (atWord && lo < ends.size()) {
    // Japanese may break between any two characters; a run of single-byte ones (a word, a
    // figure) only at a blank, which the cut then leaves off.
    const auto single = [&](std::size_t k) { return ends[k] - (k == 0 ? 0 : ends[k - 1]) == 1; };
    const auto blank = [&](std::size_t k) { return single(k) && name[ends[k] - 1] == ' '; };
    std::size_t k = lo;  // characters kept
    while (k > 0 && single(k - 1) && single(k) && !blank(k - 1) && !blank(k)) --k;
    while (k > 0 && blank(k - 1)) --k;
    if (k > 0) lo = k;  // else one word wider than the room: cut inside it
  }
  return cut(lo == 0 ? 0 : ends[lo - 1]);
}

// Where a window's legend stands; the figure's always stands in the plot.
enum class LegendPlace { InPlot, BesideWidening, BesideNarrowing };

struct Box {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;
};

// Whether the segment a-b drawn `width` wide touches the box: the segment clipped against the
// box grown by half the width (Liang and Barsky) keeps some part.
bool Touches(FigurePoint a, FigurePoint b, double width, const Box& box) {
  const double dx = b.x - a.x, dy = b.y - a.y, half = width / 2;
  const std::array<double, 4> p = {-dx, dx, -dy, dy};
  const std::array<double, 4> q = {a.x - (box.left - half), box.right + half - a.x, a.y - (box.top - half), box.bottom + half - a.y};
  double enter = 0, leave = 1;
  for (std::size_t i = 0; i < p.size(); ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) {
      enter = std::max(enter, t);
    } else {
      leave = std::min(leave, t);
    }
    if (enter > leave) return false;
  }
  return true;
}

bool ClearOfLines(const std::vector<FigureLine>& lines, const Box& box) {
  for (const FigureLine& line : lines) {
    for (std::size_t i = 1; i < line.points.size(); ++i) {
      if (Touches(line.points[i - 1], line.points[i], line.width, box)) return false;
    }
  }
  return true;
}

}  // namespace

double EstimatedTextWidth(std::string_view bytes, double size) {
  double ems = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(bytes[i])) && i + 1 < bytes.size()) {
      ems += 1;
      ++i;
    } else {
      ems += 0.55;
    }
  }
  return ems * size;
}

FigureInput FigureInputOf(const AnalysisResults& r, const LineStyles& styles, int xMax, bool bands) {
  FigureInput in;
  in.xMax = xMax;
  in.bands = bands;
  const auto& table = r.survival.SurvivalTable;
  const int lastGroup = LastGroup(r.cases);
  for (int g = 0; g <= lastGroup; ++g) {
    if (!r.shown.Contains(g)) continue;
    FigureSeries s = SeriesOf(r, styles, g, xMax);
    const auto gi = static_cast<std::size_t>(g);
    // The figure draws the estimate itself, not the three-decimal survival of the views.
    const GroupEstimates& est = r.figures.groups[gi];
    const int weeks = std::min(static_cast<int>(est.km.size()), kWeekSlots);
    s.lastWeek = weeks - 1;
    s.survival.assign(est.km.begin(), est.km.begin() + weeks);
    if (bands && est.lower.size() >= static_cast<std::size_t>(weeks) && est.upper.size() >= static_cast<std::size_t>(weeks)) {
      s.lower.assign(est.lower.begin(), est.lower.begin() + weeks);
      s.upper.assign(est.upper.begin(), est.upper.begin() + weeks);
    }
    for (int w = 0; w < weeks; ++w) s.censored.push_back(table[static_cast<std::size_t>(w)][kCensored][gi] > 0);
    in.series.push_back(std::move(s));
  }
  if (r.tests.ShownGroupCount >= 2 && r.tests.overallTested) in.pValue = PValueText(r.tests.petoP);
  return in;
}

FigureSeries SeriesOf(const AnalysisResults& r, const LineStyles& styles, int g, int xMax) {
  const LineStyle& style = styles[g];
  const auto gi = static_cast<std::size_t>(g);
  FigureSeries s{.group = g, .name = r.cases.GroupNames[gi], .colour = style.colour, .style = style.style, .width = style.width};
  for (int k = 0; kWeeksPerYear * k <= std::min(xMax, kMaxWeek); ++k) {
    s.atRisk.push_back(r.survival.AtRiskTable[static_cast<std::size_t>(kWeeksPerYear * k)][gi]);
  }
  return s;
}

namespace {

// The figure with its legend at `place`. When a window's legend was to stand in the plot and
// cannot, nothing is finished and the place it needs is returned: beside a wider figure when
// the plot cannot hold its rows at full size, beside a narrower plot when every place in the
// plot touches a line.
std::optional<LegendPlace> Lay(const FigureInput& in, const TextMeasure& measure, LegendPlace place, FigureLayout& out) {
  const bool window = in.forWindow;
  const double size = kFigureTextSize;
  // A range below one year still shows its year: the axis never has less than 52 weeks.
  const int xMax = std::max(in.xMax, kWeeksPerYear);
  const int years = xMax / kWeeksPerYear;
  const int rows = static_cast<int>(in.series.size());

  double widestName = 0;
  double widestNumber = measure("0", size);
  for (const FigureSeries& s : in.series) {
    widestName = std::max(widestName, measure(s.name, size));
    for (int k = 0; k <= years; ++k) widestNumber = std::max(widestNumber, measure(std::to_string(AtRiskAt(s, k)), size));
  }
  const double widestYear = measure(std::to_string(years), size);

  // Rows of the at-risk table shrink when many groups would squeeze the plot; a window's keep
  // their height, and the window grows taller.
  const double riskSpace = kFigureHeight * (1 - kMinPlotShare) - kPlotTop - kAtRiskTitleDrop - kMargin;
  const double rowHeight = rows > 0 && !window ? std::min(kRowHeight, riskSpace / rows) : kRowHeight;
  const double rowSize = std::max(kMinTextSize, std::min(size, rowHeight * 0.8));
  const double titleRoom = window ? kTitleRoom : 0;
  if (window) out.height = kFigureHeight + titleRoom + std::max(0.0, rows * kRowHeight - riskSpace);

  // Left: room for the Y axis title and labels, and for the at-risk labels beside the first
  // column of numbers, which is centred on the Y axis.
  const double labelStart = kMargin + kSampleLength + kSampleGap;
  const double yNeed = kMargin + size + kSampleGap + measure("0.0", size) + 8 + kTickLength;
  const double numberHalf = widestNumber * rowSize / size / 2;
  double nameSize = rowSize;
  double riskNeed = labelStart + widestName * rowSize / size + kLabelGap + numberHalf;
  const double maxLeft = kFigureWidth * kMaxLabelShare;
  if (riskNeed > maxLeft && widestName > 0) {
    if (!window) {
      nameSize = std::max(kMinTextSize, rowSize * (maxLeft - labelStart - kLabelGap - numberHalf) / (widestName * rowSize / size));
    }
    riskNeed = maxLeft;
  }

  // A legend beside the plot cuts its names to the at-risk labels' room before the numbers
  // take their half of it, so that larger numbers never widen the figure.
  const bool beside = place != LegendPlace::InPlot;
  const std::string pText = in.pValue.empty() ? std::string() : in.testName + " " + SpacedP(in.pValue);
  const double pWidth = std::max(measure(pText, size), 1.0);
  std::vector<std::string> legendNames;
  double besideWidth = 0;
  if (beside) {
    for (const FigureSeries& s : in.series) {
      const double room = maxLeft - labelStart - kLabelGap - measure(s.legendNote, size);
      legendNames.push_back(FitName(s.name, size, room, measure, true) + s.legendNote);
      besideWidth = std::max(besideWidth, kSampleLength + kSampleGap + measure(legendNames.back(), size));
    }
    if (!pText.empty()) besideWidth = std::max(besideWidth, pWidth);
  }

  Frame f;
  f.left = std::ceil(std::max(yNeed, riskNeed));
  f.top = kPlotTop + titleRoom;
  const double rightGap = std::ceil(std::max(60.0, std::max(widestNumber, widestYear) / 2 + kMargin));
  f.right = kFigureWidth - rightGap;
  if (place == LegendPlace::BesideNarrowing) f.right = std::max(f.left + 1, kFigureWidth - kMargin - besideWidth - rightGap);
  f.bottom = out.height - kMargin - kAtRiskTitleDrop - rows * rowHeight;
  f.dotsPerWeek = (f.right - f.left) / xMax;
  out.plotLeft = f.left;
  out.plotTop = f.top;
  out.plotRight = f.right;
  out.plotBottom = f.bottom;
  out.dotsPerWeek = f.dotsPerWeek;

  // Year marks: every year has a tick; labels and numbers stand at every yearStep-th, the
  // first step at which the widest of them fits between two neighbours.
  const double yearWidth = kWeeksPerYear * f.dotsPerWeek;
  const double need = std::max(widestNumber, widestYear) + 24;
  out.yearStep = kYearSteps.back();
  for (int step : kYearSteps) {
    if (step * yearWidth >= need) {
      out.yearStep = step;
      break;
    }
  }

  if (in.bands) {
    for (const FigureSeries& s : in.series) {
      if (s.lastWeek >= 0) AddBands(out, f, s, std::min(s.lastWeek, xMax));
    }
  }

  out.lines.push_back({.points = {{f.left, f.top}, {f.left, f.bottom}, {f.right, f.bottom}}, .width = kAxisWidth});
  for (int k = 0; k <= years; ++k) {
    const double x = f.X(static_cast<double>(kWeeksPerYear) * k);
    const bool labelled = k % out.yearStep == 0;
    out.lines.push_back(
        {.points = {{x, f.bottom}, {x, f.bottom + (labelled ? kTickLength : kMinorTickLength)}}, .width = kAxisWidth});
    if (labelled) AddText(out, x, f.bottom + kYearLabelDrop, std::to_string(k), size, TextAnchor::Centre, TextRole::YearLabel);
  }
  for (int tenth = 0; tenth <= 10; tenth += 2) {
    const double y = f.Y(tenth / 10.0);
    out.lines.push_back({.points = {{f.left - kTickLength, y}, {f.left, y}}, .width = kAxisWidth});
    const std::string label = tenth == 10 ? "1.0" : "0." + std::to_string(tenth);
    AddText(out, f.left - kTickLength - 8, y + kMidHeight * size, label, size, TextAnchor::Right, TextRole::SurvivalLabel);
  }
  AddText(out, (f.left + f.right) / 2, f.bottom + kAxisTitleDrop, in.xTitle, size, TextAnchor::Centre, TextRole::AxisTitle);
  const double yLabelsLeft = f.left - kTickLength - 8 - measure("0.0", size);
  if (window) {
    AddText(out, yLabelsLeft, kTitleBaseline, in.yTitle, size, TextAnchor::Left, TextRole::AxisTitle);
  } else {
    out.texts.push_back({.x = yLabelsLeft - kSampleGap,
                         .y = (f.top + f.bottom) / 2,
                         .text = in.yTitle,
                         .size = size,
                         .anchor = TextAnchor::Centre,
                         .vertical = true,
                         .role = TextRole::AxisTitle});
  }

  for (const FigureSeries& s : in.series) {
    if (s.lastWeek < 0) continue;
    const int endWeek = std::min(s.lastWeek, xMax);
    AddCurve(out, f, s, endWeek);
    AddCensorMarks(out, f, s, endWeek);
  }

  // The legend in the plot's top right corner, the overall p under it.
  double legendX = 0, baseline = f.top + kRowHeight, legendRow = kRowHeight, legendSize = size;
  if (!beside) {
    double widestLegend = 1;
    for (const FigureSeries& s : in.series) widestLegend = std::max(widestLegend, measure(s.name + s.legendNote, size));
    legendRow = rows > 0 ? std::min(kRowHeight, (f.bottom - f.top - 2 * kRowHeight) / (rows + 1)) : kRowHeight;
    // Long names shrink the legend rather than let it leave the plot's right half; at the
    // smallest size they are cut. A window's legend never shrinks.
    const double half = (f.right - f.left) / 2 - 10;
    if (window && (legendRow < kRowHeight || pWidth > half)) return LegendPlace::BesideWidening;
    if (!window) {
      legendSize = std::max(kMinTextSize, std::min({size, legendRow * 0.8, size * (half - kSampleLength - kSampleGap) / widestLegend,
                                                    size * half / pWidth}));
    }
    const double scale = legendSize / size;
    widestLegend = 1;
    for (const FigureSeries& s : in.series) {
      // The note (events/cases) stays whole; only the name is cut.
      const double room = half - kSampleLength - kSampleGap - measure(s.legendNote, legendSize);
      legendNames.push_back(FitName(s.name, legendSize, room, measure, window) + s.legendNote);
      widestLegend = std::max(widestLegend, measure(legendNames.back(), size));
    }
    legendX = f.right - 10 - std::max(kSampleLength + kSampleGap + widestLegend * scale, pText.empty() ? 0 : pWidth * scale);
    // From the first baseline to the bottom of the last line (the p's, or the last name's).
    const double span =
        in.series.empty() ? 0 : legendRow * static_cast<double>(in.series.size() - 1) + (pText.empty() ? 0 : legendRow + 8);
    const double low = f.bottom - 10 - legendSize / 4 - span;
    if (in.legendAvoidsCurves && !in.series.empty()) {
      const auto weeksUnder = [&](double firstBaseline) {
        const double top = firstBaseline - legendSize, bottom = firstBaseline + span + legendSize / 4;
        int weeks = 0;
        for (const FigureSeries& s : in.series) {
          const int last = std::min({s.lastWeek, xMax, static_cast<int>(s.survival.size()) - 1});
          for (int w = 0; w <= last; ++w) {
            const double y = f.Y(s.survival[static_cast<std::size_t>(w)]);
            if (f.X(w) >= legendX && y >= top && y <= bottom) ++weeks;
          }
        }
        return weeks;
      };
      if (weeksUnder(low) < weeksUnder(baseline)) baseline = low;
    }
    if (window) {
      const auto clear = [&](double first) {
        return ClearOfLines(out.lines, {legendX, first - kAscent * size, f.right - 10, first + span + (1 - kAscent) * size});
      };
      if (!clear(baseline)) {
        const double other = baseline == low ? f.top + kRowHeight : low;
        if (!clear(other)) return LegendPlace::BesideNarrowing;
        baseline = other;
      }
    }
  } else {
    legendX = f.right + rightGap;
    out.width = std::max(out.width, legendX + besideWidth + kMargin);
    const double last = baseline + legendRow * static_cast<double>(in.series.size()) + (pText.empty() ? -legendRow : 8);
    out.height = std::max(out.height, last + (1 - kAscent) * size + kMargin);
  }
  for (std::size_t i = 0; i < in.series.size(); ++i) {
    AddSample(out, legendX, baseline, legendSize, in.series[i]);
    AddText(out, legendX + kSampleLength + kSampleGap, baseline, legendNames[i], legendSize, TextAnchor::Left, TextRole::Legend);
    baseline += legendRow;
  }
  if (!pText.empty()) AddText(out, legendX, baseline + 8, pText, legendSize, TextAnchor::Left, TextRole::PValue);

  // The numbers at risk: a heading, then per group its sample, its name and one number
  // centred under each labelled year mark.
  const double titleY = f.bottom + kAtRiskTitleDrop;
  AddText(out, kMargin, titleY, in.atRiskTitle, size, TextAnchor::Left, TextRole::AtRiskTitle);
  for (int i = 0; i < rows; ++i) {
    const FigureSeries& s = in.series[static_cast<std::size_t>(i)];
    const double rowY = titleY + (i + 1) * rowHeight;
    AddSample(out, kMargin, rowY, rowSize, s);
    AddText(out, labelStart, rowY, FitName(s.name, nameSize, maxLeft - labelStart - kLabelGap - numberHalf, measure, window),
            nameSize, TextAnchor::Left, TextRole::AtRiskLabel);
    for (int k = 0; k <= years; k += out.yearStep) {
      AddText(out, f.X(static_cast<double>(kWeeksPerYear) * k), rowY, std::to_string(AtRiskAt(s, k)), rowSize, TextAnchor::Centre, TextRole::AtRiskNumber);
    }
  }
  AddFootnote(out, in, measure);
  return std::nullopt;
}

}  // namespace

FigureLayout LayoutPublicationFigure(const FigureInput& in, const TextMeasure& measure) {
  FigureLayout out;
  const std::optional<LegendPlace> instead = Lay(in, measure, LegendPlace::InPlot, out);
  if (!instead) return out;
  FigureLayout beside;
  Lay(in, measure, *instead, beside);
  return beside;
}

void AddReviewerFigures(const ReviewerResults& reviewer, const CaseData& cases, FigureInput& input) {
  input.pValue = reviewer.shownGroups >= 2 && reviewer.logRank.tested ? RoundedPText(reviewer.logRank.p) : "";
  for (FigureSeries& s : input.series) {
    const auto g = static_cast<std::size_t>(s.group);
    // The events of the plotted weeks, which the test beside them uses.
    s.legendNote = " (" + std::to_string(reviewer.eventsInWindow[g]) + "/" + std::to_string(reviewer.cases[g]) + ")";
  }
  input.testLastWeek = reviewer.lastWeek;
  input.censoredCauses = CensoredCausesText(cases);
}

void UseEnglishLabels(const CaseData& cases, std::span<const std::string> groupLabels,
                      std::span<const std::string> causeLabels, FigureInput& input) {
  for (FigureSeries& s : input.series) s.name = LabelOr(groupLabels, s.group, s.name);
  if (!input.censoredCauses.empty()) input.censoredCauses = CensoredCausesText(cases, causeLabels);
}

void ApplyFigurePalette(FigurePalette palette, FigureInput& input) {
  std::array<bool, 5> taken{};  // the drawn styles 0..4 given to earlier series
  for (std::size_t i = 0; i < input.series.size(); ++i) {
    FigureSeries& s = input.series[i];
    if (palette == FigurePalette::OkabeIto && i < kOkabeIto.size()) s.colour = kOkabeIto[i];
    if (palette != FigurePalette::Grey) continue;
    s.colour = kBlack;
    // Groups 1 to 4 share one style and differ by colour alone: in black, a style an
    // earlier series has becomes the first one still free, in the order the program
    // hands styles out, while one is.
    if (s.style >= 0 && s.style < 5 && taken[static_cast<std::size_t>(s.style)]) {
      for (int style : DefaultStyleOrder) {
        if (style < 5 && !taken[static_cast<std::size_t>(style)]) {
          s.style = style;
          break;
        }
      }
    }
    if (s.style >= 0 && s.style < 5) taken[static_cast<std::size_t>(s.style)] = true;
  }
}

}  // namespace orv
