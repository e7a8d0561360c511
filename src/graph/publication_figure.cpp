// Layout of the publication figure.
#include "graph/publication_figure.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <optional>
#include <span>

#include "words/format.h"
#include "words/figure_text.h"
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
// A months axis has its ticks, labels and numbers at risk together every 3 months, or every 6
// from a range of two years on (so that no more than nine columns of numbers stand under
// it), or further apart where they would crowd.
constexpr int kMonthTick = 3;
constexpr std::array<int, 8> kMonthSteps = {3, 6, 12, 24, 60, 120, 240, 480};
constexpr int kSixMonthsFromWeeks = 2 * 52;
// Y labels stand at a step of hundredths from the range's low end: the smallest that reaches
// its high end in at most five intervals, else in at most ten; a range no such step divides
// has its labels at the multiples of the smallest step giving at most five.
constexpr std::array<long, 6> kYSteps = {1, 2, 5, 10, 20, 50};
constexpr long kFewYIntervals = 5;
constexpr long kMostYIntervals = 10;
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
  FigureYRange range;
  double X(double week) const { return left + week * dotsPerWeek; }
  double Y(double value) const { return bottom - (value - range.low) / (range.high - range.low) * (bottom - top); }
  bool Shows(double value) const { return value >= range.low - 1e-12 && value <= range.high + 1e-12; }
};

// The time axis: its unit in weeks, the last whole unit in the range, the units between ticks
// and the label steps it may take.
struct TimeAxis {
  bool months = false;
  double unitWeeks = kWeeksPerYear;
  int units = 0;
  int tickEvery = 1;
  int minStep = 1;
  std::span<const int> steps = kYearSteps;
  // The week whose numbers at risk stand under the mark of `unit`: the first that starts at or
  // after it, so that the deaths of a week the curve has already dropped by are not counted.
  int AtRiskWeek(int unit) const { return static_cast<int>(std::ceil(unit * unitWeeks - 1e-9)); }
};

// The axis for the range; xMax becomes the weeks the axis spans (a years axis at least one).
TimeAxis AxisOf(const FigureInput& in, int& xMax) {
  TimeAxis axis;
  axis.months = in.timeUnit == FigureTimeUnit::Months || (in.timeUnit == FigureTimeUnit::Auto && in.xMax < kMonthsAxisBelowWeeks);
  if (!axis.months) {
    xMax = std::max(in.xMax, kWeeksPerYear);
    axis.units = xMax / kWeeksPerYear;
    return axis;
  }
  xMax = std::max(in.xMax, 1);
  axis.unitWeeks = kWeeksPerMonth;
  axis.units = static_cast<int>(std::floor(xMax / kWeeksPerMonth + 1e-9));
  axis.tickEvery = kMonthTick;
  axis.minStep = in.xMax < kSixMonthsFromWeeks ? kMonthSteps[0] : kMonthSteps[1];
  axis.steps = kMonthSteps;
  return axis;
}

// The Y labels of a range: value and text ("0.0", or "0.05" at a step below a tenth).
std::vector<std::pair<double, std::string>> YLabels(const FigureYRange& r) {
  const long low = std::lround(r.low * 100), high = std::lround(r.high * 100), span = high - low;
  const auto first = [&](long most, bool divides) -> long {
    for (long s : kYSteps) {
      if (span <= most * s && (!divides || span % s == 0)) return s;
    }
    return 0;
  };
  long step = first(kFewYIntervals, true);
  if (step == 0) step = first(kMostYIntervals, true);
  long from = low;
  if (step == 0) {
    step = first(kFewYIntervals, false) != 0 ? first(kFewYIntervals, false) : kYSteps.back();
    from = (low + step - 1) / step * step;
  }
  bool hundredths = false;
  for (long v = from; v <= high; v += step) hundredths = hundredths || v % 10 != 0;
  std::vector<std::pair<double, std::string>> out;
  for (long v = from; v <= high; v += step) {
    std::string text = std::to_string(v / 100) + "." + std::to_string(v % 100 / 10);
    if (hundredths) text += std::to_string(v % 10);
    out.emplace_back(static_cast<double>(v) / 100, std::move(text));
  }
  return out;
}

// The highest value a rising curve draws in the weeks shown, its upper limits' with bands.
double HighestDrawn(const FigureInput& in, int xMax) {
  double highest = 0;
  for (const FigureSeries& s : in.series) {
    const int last = std::min({s.lastWeek, xMax, static_cast<int>(s.survival.size()) - 1});
    for (int w = 0; w <= last; ++w) {
      const auto wi = static_cast<std::size_t>(w);
      highest = std::max(highest, s.survival[wi]);
      if (in.bands && wi < s.upper.size() && std::isfinite(s.upper[wi])) highest = std::max(highest, s.upper[wi]);
    }
  }
  return highest;
}

void AddText(FigureLayout& out, double x, double y, std::string text, double size, TextAnchor anchor, TextRole role) {
  out.texts.push_back({.x = x, .y = y, .text = std::move(text), .size = size, .anchor = anchor, .role = role});
}

// The line's parts inside the plot's height: a Y range that does not hold the whole curve cuts
// it where it leaves the plot and starts a new line where it comes back.
void AddInsidePlot(FigureLayout& out, const Frame& f, const FigureLine& line) {
  const double top = f.top - 1e-6, bottom = f.bottom + 1e-6;
  FigureLine part{.colour = line.colour, .style = line.style, .width = line.width};
  const auto finish = [&] {
    if (part.points.size() >= 2) out.lines.push_back(part);
    part.points.clear();
  };
  for (std::size_t i = 1; i < line.points.size(); ++i) {
    const FigurePoint a = line.points[i - 1], b = line.points[i];
    double enter = 0, leave = 1;
    const double dy = b.y - a.y;
    if (dy == 0) {
      if (a.y < top || a.y > bottom) enter = 2;
    } else {
      const double t1 = (top - a.y) / dy, t2 = (bottom - a.y) / dy;
      enter = std::max(0.0, std::min(t1, t2));
      leave = std::min(1.0, std::max(t1, t2));
    }
    if (enter > leave) {
      finish();
      continue;
    }
    // A cut lands on the plot's edge itself, not the hair outside it the test above allows.
    const auto at = [&](double t) { return FigurePoint{a.x + t * (b.x - a.x), std::clamp(a.y + t * dy, f.top, f.bottom)}; };
    const FigurePoint from = enter == 0 ? a : at(enter), to = leave == 1 ? b : at(leave);
    if (!part.points.empty() && !(part.points.back() == from)) finish();
    if (part.points.empty()) part.points.push_back(from);
    part.points.push_back(to);
  }
  finish();
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
  AddInsidePlot(out, f, line);
}

void AddCensorMarks(FigureLayout& out, const Frame& f, const FigureSeries& s, int endWeek) {
  const int last = std::min({endWeek, static_cast<int>(s.censored.size()) - 1, static_cast<int>(s.survival.size()) - 1});
  for (int w = 0; w <= last; ++w) {
    if (!s.censored[static_cast<std::size_t>(w)] || !f.Shows(s.survival[static_cast<std::size_t>(w)])) continue;
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
    // The band's edges are level or upright, so holding them inside the plot's height cuts it
    // at the plot's edges.
    for (FigurePoint& q : p) q.y = std::clamp(q.y, f.top, f.bottom);
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

std::int64_t AtRiskAt(const FigureSeries& s, int week) {
  return week >= 0 && week < static_cast<int>(s.atRisk.size()) ? s.atRisk[static_cast<std::size_t>(week)] : 0;
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
                       .y = out.height - kFootnoteDrop,
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
  // A years axis spans at least one year.
  const int last = std::min(std::max(xMax, kWeeksPerYear), kMaxWeek);
  s.atRisk.reserve(static_cast<std::size_t>(last) + 1);
  for (int w = 0; w <= last; ++w) s.atRisk.push_back(r.survival.AtRiskTable[static_cast<std::size_t>(w)][gi]);
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
  int xMax = 0;
  const TimeAxis axis = AxisOf(in, xMax);
  const int rows = static_cast<int>(in.series.size());
  const FigureYRange yRange = in.yRange ? *in.yRange : in.rising ? FigureYRange{0, RisingScaleTop(HighestDrawn(in, xMax))} : FigureYRange{};
  const auto yLabels = YLabels(yRange);

  double widestName = 0;
  double widestNumber = measure("0", size);
  for (const FigureSeries& s : in.series) {
    widestName = std::max(widestName, measure(s.name, size));
    for (int k = 0; k <= axis.units; k += axis.tickEvery) {
      widestNumber = std::max(widestNumber, measure(std::to_string(AtRiskAt(s, axis.AtRiskWeek(k))), size));
    }
  }
  const double widestYear = measure(std::to_string(axis.units), size);
  double widestYLabel = measure("0.0", size);
  for (const auto& label : yLabels) widestYLabel = std::max(widestYLabel, measure(label.second, size));

  // A figure with a footnote keeps a line of the footnote's size clear between the descenders
  // of the last row of numbers at risk and the footnote's tallest characters.
  const double bottomMargin =
      in.testLastWeek >= 0 ? std::max(kMargin, kFootnoteDrop + (1 + kAscent) * kFootnoteSize + (1 - kAscent) * size) : kMargin;
  // Rows of the at-risk table shrink when many groups would squeeze the plot; a window's keep
  // their height, and the window grows taller.
  const double riskSpace = kFigureHeight * (1 - kMinPlotShare) - kPlotTop - kAtRiskTitleDrop - bottomMargin;
  const double rowHeight = rows > 0 && !window ? std::min(kRowHeight, riskSpace / rows) : kRowHeight;
  const double rowSize = std::max(kMinTextSize, std::min(size, rowHeight * 0.8));
  const double titleRoom = window ? kTitleRoom : 0;
  if (window) out.height = kFigureHeight + titleRoom + std::max(0.0, rows * kRowHeight - riskSpace);

  // Left: room for the Y axis title and labels, and for the at-risk labels beside the first
  // column of numbers, which is centred on the Y axis.
  const double labelStart = kMargin + kSampleLength + kSampleGap;
  const double yNeed = kMargin + size + kSampleGap + widestYLabel + 8 + kTickLength;
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
  f.bottom = out.height - bottomMargin - kAtRiskTitleDrop - rows * rowHeight;
  f.dotsPerWeek = (f.right - f.left) / xMax;
  f.range = yRange;
  out.plotLeft = f.left;
  out.plotTop = f.top;
  out.plotRight = f.right;
  out.plotBottom = f.bottom;
  out.dotsPerWeek = f.dotsPerWeek;
  out.months = axis.months;
  out.yRange = yRange;

  // Time marks: a tick every year; labels and numbers stand at every yearStep-th unit, the
  // first step at which the widest of them fits between two neighbours. A months axis has
  // ticks only where they stand.
  const double unitWidth = axis.unitWeeks * f.dotsPerWeek;
  const double need = std::max(widestNumber, widestYear) + 24;
  out.yearStep = axis.steps.back();
  for (int step : axis.steps) {
    if (step >= axis.minStep && step * unitWidth >= need) {
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
  for (int k = 0; k <= axis.units; k += axis.tickEvery) {
    const double x = f.X(k * axis.unitWeeks);
    const bool labelled = k % out.yearStep == 0;
    if (axis.months && !labelled) continue;
    out.lines.push_back(
        {.points = {{x, f.bottom}, {x, f.bottom + (labelled ? kTickLength : kMinorTickLength)}}, .width = kAxisWidth});
    if (labelled) AddText(out, x, f.bottom + kYearLabelDrop, std::to_string(k), size, TextAnchor::Centre, TextRole::YearLabel);
  }
  for (const auto& [value, label] : yLabels) {
    const double y = f.Y(value);
    out.lines.push_back({.points = {{f.left - kTickLength, y}, {f.left, y}}, .width = kAxisWidth});
    AddText(out, f.left - kTickLength - 8, y + kMidHeight * size, label, size, TextAnchor::Right, TextRole::SurvivalLabel);
  }
  AddText(out, (f.left + f.right) / 2, f.bottom + kAxisTitleDrop, axis.months ? in.xTitleMonths : in.xTitle, size,
          TextAnchor::Centre, TextRole::AxisTitle);
  const double yLabelsLeft = f.left - kTickLength - 8 - widestYLabel;
  if (window) {
    AddText(out, yLabelsLeft, kTitleBaseline, in.yTitle, size, TextAnchor::Left, TextRole::AxisTitle);
  } else {
    out.texts.push_back({.x = yLabelsLeft - kSampleGap,
                         .y = (f.top + f.bottom) / 2,
                         .text = FitName(in.yTitle, size, f.bottom - f.top, measure),
                         .size = size,
                         .anchor = TextAnchor::Centre,
                         .vertical = true,
                         .role = TextRole::AxisTitle});
  }

  for (const FigureSeries& s : in.series) {
    if (s.lastWeek < 0) continue;
    const int endWeek = std::min(s.lastWeek, xMax);
    AddCurve(out, f, s, endWeek);
    if (in.censorMarks) AddCensorMarks(out, f, s, endWeek);
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
    const double high = baseline;
    const auto clear = [&](double first) {
      return ClearOfLines(out.lines, {legendX, first - kAscent * legendSize, f.right - 10, first + span + (1 - kAscent) * legendSize});
    };
    // Curves that stay high (survival) or end high (incidence) pass under the top right corner:
    // the legend then goes to the bottom right when fewer of the curves' weeks pass through it
    // there, or when only there it touches no line.
    if (!in.series.empty()) {
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
      const bool highClear = clear(high), lowClear = clear(low);
      if ((!highClear && lowClear) || (highClear == lowClear && weeksUnder(low) < weeksUnder(high))) baseline = low;
    }
    if (window) {
      if (!clear(baseline)) {
        const double other = baseline == low ? high : low;
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
    for (int k = 0; k <= axis.units; k += out.yearStep) {
      AddText(out, f.X(k * axis.unitWeeks), rowY, std::to_string(AtRiskAt(s, axis.AtRiskWeek(k))), rowSize, TextAnchor::Centre,
              TextRole::AtRiskNumber);
    }
  }
  AddFootnote(out, in, measure);
  return std::nullopt;
}

}  // namespace

std::optional<FigureYRange> ParseFigureYRange(std::string_view text) {
  const std::size_t comma = text.find(',');
  if (comma == std::string_view::npos) return std::nullopt;
  const auto number = [](std::string_view part) -> std::optional<double> {
    // Digits and at most one decimal point, nothing else.
    const std::size_t digits = static_cast<std::size_t>(std::count_if(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; }));
    const std::size_t points = static_cast<std::size_t>(std::count(part.begin(), part.end(), '.'));
    if (digits == 0 || points > 1 || digits + points != part.size() || digits > 15) return std::nullopt;
    // The digits as one whole number over a power of ten: "0.3" is the double nearest 0.3.
    double whole = 0, divisor = 1;
    bool fraction = false;
    for (char c : part) {
      if (c == '.') {
        fraction = true;
        continue;
      }
      whole = whole * 10 + (c - '0');
      if (fraction) divisor *= 10;
    }
    return whole / divisor;
  };
  const std::optional<double> low = number(text.substr(0, comma)), high = number(text.substr(comma + 1));
  if (!low || !high || *high > 1 || !(*low < *high)) return std::nullopt;
  return FigureYRange{*low, *high};
}

double RisingScaleTop(double highest) {
  // A hair under a whole tenth counts as it: 0.1 * 3 is a little above 0.3.
  const double tenths = std::ceil(highest * 10 - 1e-9);
  return std::clamp(tenths, 1.0, 10.0) / 10;
}

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
  if (input.rising) {
    input.yTitle = IncidenceAxisTitle(cases, causeLabels);
    input.censoredCauses = IncidenceCausesText(cases, causeLabels);
  } else if (!input.censoredCauses.empty()) {
    input.censoredCauses = CensoredCausesText(cases, causeLabels);
  }
}

void ApplyFigureSettings(const FigureSettings& settings, FigureInput& input) {
  ApplyFigurePalette(settings.palette, input);
  input.timeUnit = settings.timeUnit;
  input.yRange = settings.yRange;
  input.censorMarks = settings.censorMarks;
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
