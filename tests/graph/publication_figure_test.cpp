// The publication figure's layout: the numbers at risk under the year marks, the axis
// labels, the curves, the bands and the legend, measured with the estimated text widths.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "graph/publication_figure.h"
#include "survival/analysis.h"
#include "survival/case_builder.h"

namespace orv {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

FigureSeries Series(std::string name, std::vector<std::int64_t> atRisk) {
  FigureSeries s;
  s.name = std::move(name);
  s.atRisk = std::move(atRisk);
  s.lastWeek = 0;
  s.survival = {1};
  s.censored = {false};
  return s;
}

FigureLayout Layout(const FigureInput& in) { return LayoutPublicationFigure(in, EstimatedTextWidth); }

std::vector<const FigureText*> TextsOf(const FigureLayout& l, TextRole role) {
  std::vector<const FigureText*> out;
  for (const FigureText& t : l.texts) {
    if (t.role == role) out.push_back(&t);
  }
  return out;
}

// "text@x" of every text of a role whose baseline is y (any y when NaN).
std::vector<std::string> Placed(const FigureLayout& l, TextRole role, double y = kNaN) {
  std::vector<std::string> out;
  for (const FigureText* t : TextsOf(l, role)) {
    if (std::isnan(y) || t->y == y) out.push_back(t->text + "@" + std::to_string(t->x));
  }
  return out;
}

// The x of year mark k when the range ends on a year mark: the marks divide the axis evenly.
std::string At(const FigureLayout& l, const std::string& text, int k, int years) {
  return text + "@" + std::to_string(l.plotLeft + k * (l.plotRight - l.plotLeft) / years);
}

TEST(PublicationFigure, NumbersAtRiskStandCentredUnderTheirYearMarks) {
  struct Case {
    const char* name;
    int xMax;
    std::vector<std::int64_t> first;
    std::vector<std::int64_t> second;  // an empty group: no case left after week 0
    int years;
    std::vector<std::string> firstTexts;
  };
  const std::vector<Case> cases = {
      {"five years", 260, {96, 71, 54, 32, 20, 16}, {3, 0, 0, 0, 0, 0}, 5, {"96", "71", "54", "32", "20", "16"}},
      {"eleven years, twelve marks",
       572,
       {120, 110, 100, 90, 80, 70, 60, 50, 40, 30, 20, 10},
       {},
       11,
       {"120", "110", "100", "90", "80", "70", "60", "50", "40", "30", "20", "10"}},
      {"one year", 52, {8, 1}, {0, 0}, 1, {"8", "1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FigureInput in{.xMax = c.xMax, .series = {Series("A", c.first), Series("Empty", c.second)}};
    const FigureLayout l = Layout(in);
    ASSERT_EQ(l.yearStep, 1);
    // Two rows of 44 dots under the heading 170 dots below the axis, ending 30 above the edge.
    EXPECT_EQ(l.plotBottom, 1417 - 30 - 170 - 2 * 44);
    std::vector<std::string> first, second, years;
    for (int k = 0; k <= c.years; ++k) {
      first.push_back(At(l, c.firstTexts[static_cast<std::size_t>(k)], k, c.years));
      second.push_back(At(l, c.second.empty() ? "0" : std::to_string(c.second[static_cast<std::size_t>(k)]), k, c.years));
      years.push_back(At(l, std::to_string(k), k, c.years));
    }
    EXPECT_EQ(Placed(l, TextRole::AtRiskNumber, l.plotBottom + 170 + 44), first);
    EXPECT_EQ(Placed(l, TextRole::AtRiskNumber, l.plotBottom + 170 + 88), second);
    EXPECT_EQ(Placed(l, TextRole::YearLabel), years);
    EXPECT_EQ(Placed(l, TextRole::AtRiskLabel),
              (std::vector<std::string>{"A@116.000000", "Empty@116.000000"}));
    for (const FigureText* t : TextsOf(l, TextRole::AtRiskNumber)) EXPECT_EQ(t->anchor, TextAnchor::Centre);
  }
}

TEST(PublicationFigure, YearLabelsThinOutWhenTheyWouldCollide) {
  struct Case {
    const char* name;
    int xMax;
    int step;
    int labels;  // labelled marks
    int ticks;   // every year has a tick
  };
  const Case cases[] = {
      {"ten years fit", 520, 1, 11, 11},
      {"forty years: every second year", 2080, 2, 21, 41},
      {"a range past the last year mark", 300, 1, 6, 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FigureInput in{.xMax = c.xMax, .series = {Series("A", std::vector<std::int64_t>(41, 100))}};
    const FigureLayout l = Layout(in);
    EXPECT_EQ(l.yearStep, c.step);
    const auto labels = TextsOf(l, TextRole::YearLabel);
    ASSERT_EQ(static_cast<int>(labels.size()), c.labels);
    EXPECT_EQ(labels.back()->text, std::to_string((c.labels - 1) * c.step));
    EXPECT_DOUBLE_EQ(labels.back()->x, l.plotLeft + (c.labels - 1) * c.step * 52 * l.dotsPerWeek);
    EXPECT_EQ(TextsOf(l, TextRole::AtRiskNumber).size(), labels.size());
    int ticks = 0;
    for (const FigureLine& line : l.lines) {
      if (line.points.size() == 2 && line.points[0].y == l.plotBottom && line.points[1].y > l.plotBottom) ++ticks;
    }
    EXPECT_EQ(ticks, c.ticks);
  }
}

TEST(PublicationFigure, SurvivalAxisLabelsAndTitles) {
  const FigureLayout l = Layout({.series = {Series("A", {5})}});
  std::vector<std::string> labels;
  for (const FigureText* t : TextsOf(l, TextRole::SurvivalLabel)) labels.push_back(t->text);
  EXPECT_EQ(labels, (std::vector<std::string>{"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}));
  std::vector<std::string> titles;
  for (const FigureText* t : TextsOf(l, TextRole::AxisTitle)) titles.push_back(t->text + (t->vertical ? " |" : ""));
  EXPECT_EQ(titles, (std::vector<std::string>{"Years", "Survival probability |"}));
  EXPECT_EQ(TextsOf(l, TextRole::AtRiskTitle).front()->text, "Number at risk");
}

TEST(PublicationFigure, OverallPValueUnderTheLegend) {
  struct Case {
    const char* name;
    std::string pValue;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"a value", "p=0.0019 ", {"Log-rank p = 0.0019"}},
      {"below the smallest shown", "p<0.001 ", {"Log-rank p < 0.001"}},
      {"above one half", "p>0.5   ", {"Log-rank p > 0.5"}},
      {"one group: no test", "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const FigureLayout l = Layout({.series = {Series("A", {5}), Series("B", {5})}, .pValue = c.pValue});
    std::vector<std::string> texts;
    for (const FigureText* t : TextsOf(l, TextRole::PValue)) texts.push_back(t->text);
    EXPECT_EQ(texts, c.expected);
    std::vector<std::string> legend;
    for (const FigureText* t : TextsOf(l, TextRole::Legend)) legend.push_back(t->text);
    EXPECT_EQ(legend, (std::vector<std::string>{"A", "B"}));
  }
}

// A curve in a 52-week range: week w at x = left + w * dotsPerWeek, survival s at
// y = bottom - s * (bottom - top).
TEST(PublicationFigure, CurveStepsDownAtEachDeathAndEndsAtItsLastWeek) {
  struct Case {
    const char* name;
    std::vector<double> survival;
    int lastWeek;
    std::vector<std::pair<double, double>> expected;  // (week, survival)
  };
  const Case cases[] = {
      {"deaths in weeks 1 and 3", {1, 0.5, 0.5, 0.25}, 3, {{0, 1}, {1, 1}, {1, 0.5}, {3, 0.5}, {3, 0.25}}},
      {"a death in week 0 drops on the axis", {0.5, 0.5}, 1, {{0, 1}, {0, 0.5}, {1, 0.5}}},
      {"censored only: a level line to the last week", {1, 1, 1}, 2, {{0, 1}, {2, 1}}},
      {"events past the range run on to its end", std::vector<double>(60, 0.75), 59, {{0, 1}, {0, 0.75}, {52, 0.75}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FigureSeries s = Series("A", {1});
    s.survival = c.survival;
    s.lastWeek = c.lastWeek;
    s.censored.assign(c.survival.size(), false);
    s.colour = kRed;
    s.style = 3;
    const FigureLayout l = Layout({.xMax = 52, .series = {s}});
    const FigureLine* curve = nullptr;
    // The curve starts at survival 1 on the Y axis; the line samples start elsewhere.
    for (const FigureLine& line : l.lines) {
      if (line.colour == kRed && line.points[0] == FigurePoint{l.plotLeft, l.plotTop}) curve = &line;
    }
    ASSERT_NE(curve, nullptr);
    EXPECT_EQ(curve->style, 3);
    EXPECT_EQ(curve->width, 5);  // bar width 2
    std::vector<FigurePoint> expected;
    for (auto [w, sv] : c.expected) {
      expected.push_back({l.plotLeft + w * l.dotsPerWeek, l.plotBottom - sv * (l.plotBottom - l.plotTop)});
    }
    EXPECT_EQ(curve->points, expected);
  }
}

TEST(PublicationFigure, CensorMarksStandOnTheLevelAfterTheirWeek) {
  FigureSeries s = Series("A", {1});
  s.survival = {1, 0.5, 0.5};
  s.censored = {false, true, true};
  s.lastWeek = 2;
  s.colour = kBlue;
  const FigureLayout l = Layout({.xMax = 52, .series = {s}});
  std::vector<std::vector<FigurePoint>> marks;
  for (const FigureLine& line : l.lines) {
    if (line.colour == kBlue && line.points.size() == 2 && line.points[0].x == line.points[1].x) marks.push_back(line.points);
  }
  const double y = l.plotBottom - 0.5 * (l.plotBottom - l.plotTop);
  const double x1 = l.plotLeft + l.dotsPerWeek;
  const double x2 = l.plotLeft + 2 * l.dotsPerWeek;
  EXPECT_EQ(marks, (std::vector<std::vector<FigurePoint>>{{{x1, y - 11}, {x1, y + 11}}, {{x2, y - 11}, {x2, y + 11}}}));
}

TEST(PublicationFigure, BandsCoverEachRunOfWeeksWithAnInterval) {
  FigureSeries s = Series("A", {1});
  s.survival = {1, 0.8, 0.8, 0.4, 0, 0};
  s.lower = {1, 0.6, 0.5, 0.2, kNaN, kNaN};
  s.upper = {1, 1, 1, 0.7, kNaN, kNaN};
  s.censored.assign(6, false);
  s.lastWeek = 5;
  s.colour = kGreen;
  const FigureInput without{.xMax = 52, .series = {s}};
  EXPECT_TRUE(Layout(without).fills.empty());

  FigureInput with = without;
  with.bands = true;
  const FigureLayout l = Layout(with);
  ASSERT_EQ(l.fills.size(), 1u);
  EXPECT_EQ(l.fills[0].colour, kGreen);
  EXPECT_DOUBLE_EQ(l.fills[0].opacity, 0.15);
  auto P = [&](double w, double sv) {
    return FigurePoint{l.plotLeft + w * l.dotsPerWeek, l.plotBottom - sv * (l.plotBottom - l.plotTop)};
  };
  // Weeks 0 to 3 hold limits, each to the next week's mark; weeks 4 and 5 have none.
  EXPECT_EQ(l.fills[0].points,
            (std::vector<FigurePoint>{P(0, 1), P(3, 1), P(3, 0.7), P(4, 0.7), P(4, 0.2), P(3, 0.2), P(3, 0.5),
                                      P(2, 0.5), P(2, 0.6), P(1, 0.6), P(1, 1), P(0, 1)}));
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
  const test::DataSet groups = {{{1, 2}, {60}}, {{3}}, {{10, 20}, {100}}};
  struct Case {
    const char* name;
    std::vector<int> hidden;
    bool bands;
    std::vector<int> series;
    bool pValue;
  };
  const Case cases[] = {
      {"B hidden, with bands", {2}, true, {1, 3}, true},
      {"only A shown: no test", {2, 3}, false, {1}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Workspace ws;
    Surfaces surfaces;
    test::FillCases(ws, groups);
    for (int g : c.hidden) ws.styles[g].shown = 0;
    ComputeGroupSurvival(ws, surfaces);
    const FigureInput in = FigureInputOf(ws, c.bands);
    std::vector<int> shown;
    for (const FigureSeries& s : in.series) shown.push_back(s.group);
    ASSERT_EQ(shown, c.series);
    const FigureSeries& a = in.series[0];
    EXPECT_EQ(a.name, "A");
    EXPECT_EQ(a.lastWeek, 60);
    EXPECT_DOUBLE_EQ(a.survival[1], 2.0 / 3);  // not the views' 0.666
    EXPECT_DOUBLE_EQ(a.survival[60], 1.0 / 3);
    EXPECT_TRUE(a.censored[60]);
    EXPECT_FALSE(a.censored[59]);
    EXPECT_EQ(a.lower.size(), c.bands ? 61u : 0u);
    EXPECT_EQ(a.atRisk, (std::vector<std::int64_t>{3, 1, 0}));
    EXPECT_EQ(in.xMax, 104);
    EXPECT_EQ(in.pValue.empty(), !c.pValue);
    if (c.pValue) { EXPECT_EQ(in.pValue, ws.tests.PetoPText); }
  }
}

}  // namespace
}  // namespace orv
