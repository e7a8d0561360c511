// The publication figure's layout: the numbers at risk under the year marks, the axis
// labels, the curves, the bands and the legend, measured with the estimated text widths.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "graph/publication_figure.h"
#include "session/analysis.h"
#include "stats/reviewer_text.h"
#include "survival/case_builder.h"

namespace orv {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
using Strings = std::vector<std::string>;
// Three groups over weeks 0 to 104: A a censored case in week 60, C one in week 100.
const test::DataSet kThree = {{{1, 2}, {60}}, {{3}}, {{10, 20}, {100}}};

FigureSeries Series(std::string name, std::vector<std::int64_t> atRisk) {
  return {.name = std::move(name), .survival = {1}, .censored = {false}, .lastWeek = 0, .atRisk = std::move(atRisk)};
}

FigureLayout Layout(const FigureInput& in) { return LayoutPublicationFigure(in, EstimatedTextWidth); }

std::vector<const FigureText*> TextsOf(const FigureLayout& l, TextRole role) {
  std::vector<const FigureText*> out;
  for (const FigureText& t : l.texts) {
    if (t.role == role) out.push_back(&t);
  }
  return out;
}

// The texts of a role, each as "text@x" when `at` is set, of those whose baseline is y (any y when NaN).
std::vector<std::string> Texts(const FigureLayout& l, TextRole role, bool at = false, double y = kNaN) {
  std::vector<std::string> out;
  for (const FigureText* t : TextsOf(l, role)) {
    if (std::isnan(y) || t->y == y) out.push_back(at ? t->text + "@" + std::to_string(t->x) : t->text);
  }
  return out;
}

// Two rows of 44 dots under the heading 170 dots below the axis, ending 30 above the edge;
// each number centred under its year's mark. Every year has a tick; labels and numbers thin
// out to every second year when they would collide.
TEST(PublicationFigure, NumbersAtRiskStandCentredUnderTheirYearMarks) {
  const std::vector<std::int64_t> hundreds(41, 100);
  const struct { const char* name; int xMax, step, ticks; std::vector<std::int64_t> first, second; } cases[] = {
      {"five years", 260, 1, 6, {96, 71, 54, 32, 20, 16}, {3, 0, 0, 0, 0, 0}},
      {"eleven years, twelve marks; an empty group", 572, 1, 12, {120, 110, 100, 90, 80, 70, 60, 50, 40, 30, 20, 10}, {}},
      {"one year", 52, 1, 2, {8, 1}, {0, 0}}, {"ten years fit", 520, 1, 11, hundreds, hundreds},
      {"forty years: every second year", 2080, 2, 41, hundreds, hundreds}, {"a range past the last year mark", 300, 1, 6, hundreds, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const FigureLayout l = Layout({.xMax = c.xMax, .series = {Series("A", c.first), Series("Empty", c.second)}});
    EXPECT_EQ(std::tuple(l.yearStep, l.plotBottom), std::tuple(c.step, 1417 - 30 - 170 - 2 * 44));
    std::vector<std::string> first, second, labels;
    for (std::size_t k = 0; k <= static_cast<std::size_t>(c.xMax / 52); k += static_cast<std::size_t>(c.step)) {
      // Appended rather than "@" + string: GCC 12 reports a false overlap for that insert.
      std::string x = "@";
      x += std::to_string(l.plotLeft + static_cast<double>(k) * 52 * l.dotsPerWeek);
      first.push_back(std::to_string(c.first[k]) + x);
      second.push_back((c.second.empty() ? "0" : std::to_string(c.second[k])) + x);
      labels.push_back(std::to_string(k) + x);
    }
    EXPECT_EQ(Texts(l, TextRole::AtRiskNumber, true, l.plotBottom + 170 + 44), first);
    EXPECT_EQ(Texts(l, TextRole::AtRiskNumber, true, l.plotBottom + 170 + 88), second);
    EXPECT_EQ(Texts(l, TextRole::YearLabel, true), labels);
    EXPECT_EQ(Texts(l, TextRole::AtRiskLabel, true), (std::vector<std::string>{"A@116.000000", "Empty@116.000000"}));
    for (const FigureText* t : TextsOf(l, TextRole::AtRiskNumber)) EXPECT_EQ(t->anchor, TextAnchor::Centre);
    int ticks = 0;
    for (const FigureLine& line : l.lines) {
      if (line.points.size() == 2 && line.points[0].y == l.plotBottom && line.points[1].y > l.plotBottom) ++ticks;
    }
    EXPECT_EQ(ticks, c.ticks);
  }
}

// The views' p ("p=0.0019 ") written spaced under the legend; none without a test.
TEST(PublicationFigure, PValueSpacedUnderTheLegend) {
  const std::pair<std::string, Strings> cases[] = {
      {"p=0.0019 ", {"Log-rank p = 0.0019"}}, {"p<0.001 ", {"Log-rank p < 0.001"}}, {"p>0.5   ", {"Log-rank p > 0.5"}}, {"", {}}};
  for (const auto& [pValue, expected] : cases) {
    EXPECT_EQ(Texts(Layout({.series = {Series("A", {5}), Series("B", {5})}, .pValue = pValue}), TextRole::PValue), expected) << pValue;
  }
}

// A series in a 52-week range: week w at x = left + w * dotsPerWeek, survival s at
// y = bottom - s * (bottom - top).
struct Plot {
  FigureLayout l;
  FigurePoint P(double w, double s) const { return {l.plotLeft + w * l.dotsPerWeek, l.plotBottom - s * (l.plotBottom - l.plotTop)}; }
};

Plot PlotOf(std::vector<double> survival, std::vector<bool> censored, Rgb colour, bool bands = false, std::vector<double> lower = {},
            std::vector<double> upper = {}) {
  FigureSeries s = Series("A", {1});
  s.lastWeek = static_cast<int>(survival.size()) - 1;
  s.survival = std::move(survival);
  s.censored = censored.empty() ? std::vector<bool>(s.survival.size(), false) : std::move(censored);
  std::tie(s.lower, s.upper, s.colour, s.style) = std::tuple(std::move(lower), std::move(upper), colour, 3);
  return {Layout({.xMax = 52, .series = {s}, .bands = bands})};
}

// Censor marks stand 11 dots either side of the level after their week.
TEST(PublicationFigure, CurveStepsDownAtEachDeathAndEndsAtItsLastWeek) {
  using Points = std::vector<std::pair<double, double>>;
  const struct { const char* name; std::vector<double> survival; std::vector<bool> censored; Points expected, marks; } cases[] = {
      {"deaths in weeks 1 and 3", {1, 0.5, 0.5, 0.25}, {}, {{0, 1}, {1, 1}, {1, 0.5}, {3, 0.5}, {3, 0.25}}, {}},
      {"a death in week 0 drops on the axis", {0.5, 0.5}, {}, {{0, 1}, {0, 0.5}, {1, 0.5}}, {}},
      {"censored only: a level line to the last week", {1, 1, 1}, {}, {{0, 1}, {2, 1}}, {}},
      {"events past the range run on to its end", std::vector<double>(60, 0.75), {}, {{0, 1}, {0, 0.75}, {52, 0.75}}, {}},
      {"marks on the level after their week", {1, 0.5, 0.5}, {false, true, true}, {{0, 1}, {1, 1}, {1, 0.5}, {2, 0.5}}, {{1, 0.5}, {2, 0.5}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Plot p = PlotOf(c.survival, c.censored, kRed);
    const FigureLine* curve = nullptr;
    std::vector<std::vector<FigurePoint>> marks, expectedMarks;
    // The curve starts at survival 1 on the Y axis; the line samples start elsewhere.
    for (const FigureLine& line : p.l.lines) {
      if (line.colour == kRed && line.points[0] == p.P(0, 1)) curve = &line;
      if (line.colour == kRed && line.points.size() == 2 && line.points[0].x == line.points[1].x) marks.push_back(line.points);
    }
    ASSERT_NE(curve, nullptr);
    EXPECT_EQ(std::tuple(curve->style, curve->width), std::tuple(3, 5));  // bar width 2
    std::vector<FigurePoint> expected;
    for (auto [w, sv] : c.expected) expected.push_back(p.P(w, sv));
    EXPECT_EQ(curve->points, expected);
    for (auto [w, sv] : c.marks) expectedMarks.push_back({{p.P(w, sv).x, p.P(w, sv).y - 11}, {p.P(w, sv).x, p.P(w, sv).y + 11}});
    EXPECT_EQ(marks, expectedMarks);
  }
}

// Weeks 0 to 3 hold limits, each to the next week's mark; weeks 4 and 5 have none.
TEST(PublicationFigure, BandsCoverEachRunOfWeeksWithAnInterval) {
  const std::vector<double> survival = {1, 0.8, 0.8, 0.4, 0, 0}, lower = {1, 0.6, 0.5, 0.2, kNaN, kNaN}, upper = {1, 1, 1, 0.7, kNaN, kNaN};
  EXPECT_TRUE(PlotOf(survival, {}, kGreen, false, lower, upper).l.fills.empty());
  const Plot p = PlotOf(survival, {}, kGreen, true, lower, upper);
  ASSERT_EQ(p.l.fills.size(), 1u);
  EXPECT_EQ(std::tuple(p.l.fills[0].colour, p.l.fills[0].opacity), std::tuple(kGreen, 0.15));
  EXPECT_EQ(p.l.fills[0].points, (std::vector<FigurePoint>{p.P(0, 1), p.P(3, 1), p.P(3, 0.7), p.P(4, 0.7), p.P(4, 0.2), p.P(3, 0.2),
                                                           p.P(3, 0.5), p.P(2, 0.5), p.P(2, 0.6), p.P(1, 0.6), p.P(1, 1), p.P(0, 1)}));
}

TEST(PublicationFigure, ManyGroupsAndLongNamesKeepThePlotLarge) {
  FigureInput in{.xMax = 260};
  // 21 rows of a long Japanese name (40 double-byte characters).
  std::string longName;
  for (int i = 0; i < 40; ++i) longName += "\x8A\xBF";
  for (int g = 0; g < 21; ++g) in.series.push_back(Series(longName, {1000000, 5}));
  const FigureLayout l = Layout(in);
  EXPECT_GE(l.plotBottom - l.plotTop, 1417 / 2.0);
  EXPECT_LE(l.plotLeft, 2008 * 0.4 + 1);
  const auto numbers = TextsOf(l, TextRole::AtRiskNumber);
  ASSERT_EQ(numbers.size(), 21u * 6);
  EXPECT_LE(numbers.back()->y, 1417 - 30);
  // The legend shrinks to stay in the plot's right half, its sample included.
  const FigureText* legend = TextsOf(l, TextRole::Legend).front();
  EXPECT_LE(legend->x + EstimatedTextWidth(legend->text, legend->size), l.plotRight - 10 + 1e-9);
  EXPECT_GE(legend->x - 72 - 14, (l.plotLeft + l.plotRight) / 2 - 1e-9);
  // The labels shrink so that a label ends left of the first number.
  const FigureText* label = TextsOf(l, TextRole::AtRiskLabel).front();
  EXPECT_LT(label->x + EstimatedTextWidth(label->text, label->size),
            l.plotLeft - EstimatedTextWidth("1000000", numbers.front()->size) / 2);
}

// The figure's input from an analysis run: shown groups only, the estimate itself rather
// than the three-decimal survival of the views, the numbers at risk of weeks 0, 52, 104.
TEST(PublicationFigure, InputFromTheWorkspace) {
  const struct { const char* name; std::vector<int> hidden; bool bands; std::vector<int> series; bool pValue; } cases[] = {
      {"B hidden, with bands", {2}, true, {1, 3}, true},
      {"only A shown: no test", {2, 3}, false, {1}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Workspace ws;
    Surfaces surfaces;
    test::FillCases(ws, kThree);
    for (int g : c.hidden) ws.shown.Set(g, false);
    ComputeGroupSurvival(ws, surfaces);
    const FigureInput in = FigureInputOf(ws, ws.styles, ws.geometry.xMax, c.bands);
    std::vector<int> shown;
    for (const FigureSeries& s : in.series) shown.push_back(s.group);
    ASSERT_EQ(shown, c.series);
    const FigureSeries& a = in.series[0];
    EXPECT_EQ(std::tuple(a.name, a.lastWeek, in.xMax), std::tuple("A", 60, 104));
    EXPECT_DOUBLE_EQ(a.survival[1], 2.0 / 3);  // not the views' 0.666
    EXPECT_DOUBLE_EQ(a.survival[60], 1.0 / 3);
    EXPECT_EQ(std::tuple(a.censored[59], a.censored[60]), std::tuple(false, true));
    EXPECT_EQ(a.lower.size(), c.bands ? 61u : 0u);
    EXPECT_EQ(a.atRisk, (std::vector<std::int64_t>{3, 1, 0}));
    EXPECT_EQ(in.pValue, c.pValue ? ws.tests.PetoPText : "");
  }
}

// The figure as the batch command writes it, with the reviewer's figures: the standard
// log-rank p instead of the views', each legend entry with events/cases (the at-risk labels
// keep the bare names), the axes' texts, the footnote of the weeks and censored causes in the
// bottom margin; then the palettes.
TEST(PublicationFigure, ReviewerFiguresTextsAndPalettes) {
  Workspace ws;
  Surfaces surfaces;
  test::FillCases(ws, kThree);
  ComputeGroupSurvival(ws, surfaces);
  ws.cases.CauseCensored[1] = 1;
  FigureInput in = FigureInputOf(ws, ws.styles, ws.geometry.xMax, false);
  AddReviewerFigures(ws.reviewer, ws.cases, in);
  const FigureLayout l = Layout(in);
  ASSERT_TRUE(ws.reviewer.logRank.tested);
  EXPECT_EQ(Texts(l, TextRole::PValue), Strings{"Log-rank " + RoundedPText(ws.reviewer.logRank.p)});
  EXPECT_NE(in.pValue, ws.tests.PetoPText);
  EXPECT_EQ(Texts(l, TextRole::Legend), (Strings{"A (2/3)", "B (1/1)", "C (2/3)"}));
  EXPECT_EQ(Texts(l, TextRole::AtRiskLabel), (Strings{"A", "B", "C"}));
  EXPECT_EQ(Texts(l, TextRole::SurvivalLabel), (Strings{"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}));
  EXPECT_EQ(Texts(l, TextRole::AxisTitle), (Strings{"Years", "Survival probability"}));
  EXPECT_TRUE(TextsOf(l, TextRole::AxisTitle).back()->vertical);
  EXPECT_EQ(Texts(l, TextRole::AtRiskTitle), Strings{"Number at risk"});
  const std::vector<const FigureText*> foot = TextsOf(l, TextRole::Footnote);
  ASSERT_EQ(foot.size(), 1u);
  // Kept apart: EXPECT_EQ quotes its arguments as a narrow literal, which cannot hold the dash.
  const std::string footnote(reinterpret_cast<const char*>(
      u8"Tests and hazard ratios over weeks 0–104 (0–2 years). Deaths of 癌 counted as censored"));
  EXPECT_EQ(std::tuple(foot[0]->text, foot[0]->utf8, foot[0]->x, foot[0]->y), std::tuple(footnote, true, 30.0, kFigureHeight - 6.0));

  using Colours = std::vector<Rgb>;
  // A, B and C share the program's solid style; in grey they take the next free ones.
  const std::vector<int> own = {0, 0, 0};
  ASSERT_EQ(std::vector<int>({ws.styles[1].style, ws.styles[2].style, ws.styles[3].style}), own);
  const struct { const char* name; FigurePalette palette; Colours colours; std::vector<int> styles; } cases[] = {
      {"the groups' own", FigurePalette::Program, {ws.styles[1].colour, ws.styles[2].colour, ws.styles[3].colour}, own},
      {"Okabe-Ito in drawing order", FigurePalette::OkabeIto, {kOkabeIto[0], kOkabeIto[1], kOkabeIto[2]}, own},
      {"grey: black, each style once", FigurePalette::Grey, {kBlack, kBlack, kBlack}, {0, 1, 3}},
  };
  for (const auto& c : cases) {
    FigureInput painted = in;
    ApplyFigurePalette(c.palette, painted);
    Colours colours;
    std::vector<int> styles;
    for (const FigureSeries& s : painted.series) colours.push_back(s.colour), styles.push_back(s.style);
    EXPECT_EQ(std::tuple(colours, styles), std::tuple(c.colours, c.styles)) << c.name;
  }
}

}  // namespace
}  // namespace orv
