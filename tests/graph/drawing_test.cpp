// Drawing of the graph and the views (the number-at-risk and cumulative incidence views among
// them), read back from recorded canvases as short texts; the publication figure's layout:
// the numbers at risk under the year marks, the axis labels, the curves, the bands and the
// legend, measured with the estimated text widths.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "graph/curves.h"
#include "graph/forest_view.h"
#include "graph/incidence_view.h"
#include "graph/label_columns.h"
#include "graph/number_at_risk.h"
#include "graph/plot_frame.h"
#include "graph/publication_figure.h"
#include "graph/survival_rate_view.h"
#include "graph/tables.h"
#include "graph/view_layout.h"
#include "platform/recording.h"
#include "session/analysis.h"
#include "survival/analysis_window.h"
#include "words/format.h"
#include "words/reviewer_text.h"
#include "survival/case_builder.h"

namespace orv {
namespace {

// A plot 520 by 550 pixels: in a 52-week range week w lies at x = 80 + 10 w; survival 1 at
// y 50, 0.5 at 325, 0 at 600. Groups labelled "A", "B", ...; only `shown` drawn.
std::unique_ptr<Workspace> Plot(int xMax, int groups, const std::vector<int>& shown) {
  auto ws = std::make_unique<Workspace>();
  ws->geometry = {.width = 520, .height = 550, .xMax = xMax};
  ws->cases.dataMaxWeeks = 2080;
  ws->cases.NumGroups = groups;
  for (int g = 1; g <= groups; ++g) ws->texts[g][kLabel] = std::string(1, static_cast<char>('A' + g - 1));
  for (int g : shown) ws->shown.Set(g, true);
  return ws;
}

// "x:text|x:text" of the texts drawn at height y.
std::string TextsAt(const RecordingCanvas& c, int y) {
  std::string out;
  for (const auto& t : c.Texts()) {
    if (t.y == y) out.append(out.empty() ? "" : "|").append(std::to_string(t.x)).append(":").append(t.text);
  }
  return out;
}

// The first row and the number of rows of the bar drawn with one pen from x1 (to x2 if given).
std::pair<int, int> Bar(const RecordingCanvas& c, const Pen& pen, int x1, int x2 = -1) {
  std::pair<int, int> rows{-1, 0};
  for (const auto& s : c.Segments()) {
    if (s.pen == pen && s.y1 == s.y2 && s.x1 == x1 && (x2 < 0 || s.x2 == x2) && rows.second++ == 0) rows.first = s.y1;
  }
  return rows;
}

// What group 5's curve shows in a 52-week range, read back from its pixels in drawing order:
// each level and the weeks it spans ("1.000 w0-5"), each drop and the level it falls to
// ("drop w5 to 0.500", a bar as deep as the line is thick below it), each censor mark, the
// level it stands on and its columns by rows ("mark w5 on 1.000 2x7"). Week w lies at x
// 80 + 10 w, survival s at y 600 - 550 s; a level is `width` one-pixel rows, a drop or a mark
// two columns, the right one on its week.
std::string Shown(const RecordingCanvas& c, int width) {
  auto level = [](int y) { return std::to_string((600 - y) / 550.0).substr(0, 5); };
  auto week = [](int x) { return std::to_string((x - 80) / 10); };
  std::string out;
  const auto& lines = c.Segments();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto& s = lines[i];
    if (s.y1 == s.y2) {
      if (i > 0 && lines[i - 1].x1 == s.x1 && lines[i - 1].y1 == s.y1 - 1) continue;
      out += level(s.y1) + " w" + week(s.x1) + "-" + week(s.x2 - 1) + ", ";
    } else if (i + 1 == lines.size() || lines[i + 1].x1 != s.x1 + 1) {
      const bool twoColumns = i > 0 && lines[i - 1].x1 == s.x1 - 1 && lines[i - 1].y1 == s.y1 && lines[i - 1].y2 == s.y2;
      out += s.pen == Pen{1, kBlack} ? "drop w" + week(s.x1) + " to " + level(s.y2 - width) + ", "
                                     : "mark w" + week(s.x1) + " on " + level(s.y2) + (twoColumns ? " 2x" : " 1x") +
                                           std::to_string(s.y2 - s.y1) + ", ";
    }
  }
  return out.substr(0, out.size() - 2);
}

// Group 5 alone, in its default style: a black dashed curve, so its solid marks stand apart;
// events as week, censored, deaths, survival.
// A range of 0 weeks (every shown event in week 0) has no scale: the curve then stays on the
// Y axis instead of an undefined position. (Hidden groups' empty "graph max" texts are in the
// batch command's JSON goldens.)
TEST(DrawCurves, StepsDropsMarksAndScale) {
  struct Case { const char* name; int xMax, width; std::vector<std::array<double, 4>> weeks; const char *shown, *graphMax; };
  const Case cases[] = {
      {"mark at the level before the drop", 52, 2, {{5, 1, 1, 0.5}}, "1.000 w0-5, drop w5 to 0.500, mark w5 on 1.000 2x7", " 50.0 %"},
      {"death on the last week of the range drops there", 52, 2, {{52, 0, 1, 0.5}}, "1.000 w0-52, drop w52 to 0.500", " 50.0 %"},
      {"death a week after the range: no drop", 52, 2, {{53, 0, 1, 0.5}}, "1.000 w0-52, drop w52 to 1.000", "100.0 %"},
      {"censored after the range: level extended, no mark", 52, 2, {{10, 0, 1, 0.5}, {70, 1, 0, 0.5}},
       "1.000 w0-10, drop w10 to 0.500, 0.500 w10-52, drop w52 to 0.500", " 50.0 %"},
      {"death in week 0 drops at the Y axis; width 5 is five rows", 52, 5, {{0, 0, 1, 0.5}}, "1.000 w0-0, drop w0 to 0.500", " 50.0 %"},
      {"no range: the death lies beyond it", 0, 2, {{5, 0, 1, 0.5}}, "1.000 w0-0, drop w0 to 1.000", "100.0 %"},
  };
  for (const Case& c : cases) {
    auto ws = Plot(c.xMax, 5, {5});
    ws->styles[5].width = c.width;
    for (const auto& [week, censored, deaths, survival] : c.weeks) {
      auto& row = ws->run.survival.SurvivalTable[static_cast<std::size_t>(week)];
      std::tie(row[kCensored][5], row[kDeaths][5], row[kSurvival][5]) = std::tie(censored, deaths, survival);
    }
    RecordingCanvas graph;
    ws->geometry.pixelsPerWeek = PixelsPerWeek(ws->geometry);
    DrawCurves(ws->run.survival, ws->shown, ws->styles, ws->geometry, 5, graph);
    EXPECT_EQ(Shown(graph, c.width), c.shown) << c.name;
    EXPECT_EQ(Bar(graph, {1, kBlack}, 80), std::pair(50, c.width)) << c.name;  // the line as thick as its width
    Surfaces noGraph;
    ws->run.analysed = true;
    RedrawGraph(*ws, noGraph);  // the texts of the curves' ends, written by the session's redraw
    EXPECT_EQ(ws->texts[5][kGraphMax], c.graphMax) << c.name;
  }
}

// The axis takes the window's range, fitted to the data: above the longest period the next
// year boundary, below a year a year. Each tick is a two-pixel mark from y 600 up to 595 on its week; each
// number at y 610 ends on its tick (7 pixels a character), the unit stands at the end of the
// axis at y 638, "1.0" and ".5" left of the Y axis at the heights of 1 and 0.5 less 7.
TEST(RedrawGraph, FittedRangeTicksNumbersAndUnits) {
  struct { const char* name; int xMax, dataMax, fitted; const char *ticks, *numbers, *unit; } cases[] = {
      {"no range: a year of weeks", 0, 2080, 52, "8 16 24 32 40 48", "0 8 16 24 32 40 48", "(w)"},
      {"53 weeks: years", 53, 2080, 53, "52", "0 1", "(y)"},
      {"data of exactly four years: five", 520, 208, 260, "52 104 156 208 260", "0 1 2 3 4 5", "(y)"},
      {"261 weeks: every second year", 261, 2080, 261, "104 208", "0 2 4", "(y)"},
      {"520 weeks", 520, 2080, 520, "104 208 312 416 520", "0 2 4 6 8 10", "(y)"},
      {"just over ten years: every fifth", 521, 600, 521, "260 520", "0 5 10", "(y)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto ws = Plot(c.xMax, 0, {});
    ws->cases.dataMaxWeeks = c.dataMax;
    ws->run.window = {c.xMax, AxisWeeks(c.xMax, c.dataMax)};
    const double pixelsPerWeek = 520.0 / c.fitted;  // a client 650 pixels wide
    const int weeksPerNumber = c.fitted == 52 ? 1 : 52;
    auto x = [&](int week) { return static_cast<int>(week * pixelsPerWeek) + 80; };
    RecordingCanvas graph({0, 0, 650, 700});
    Surfaces surfaces{.graph = &graph};
    RedrawGraph(*ws, surfaces);
    std::string ticks, numbers;
    const auto& segments = graph.Segments();
    for (std::size_t i = 1; i < segments.size(); ++i) {
      const auto& s = segments[i];
      if (s.y1 == 600 && s.y2 == 595 && segments[i - 1].x1 == s.x1 - 1) {
        // A tick's pixel is its week's, rounded down.
        const int week = static_cast<int>(std::ceil((s.x1 - 80) / pixelsPerWeek - 1e-6));
        ticks.append(ticks.empty() ? "" : " ").append(std::to_string(week));
      }
    }
    for (const auto& t : graph.Texts()) {
      if (t.y != 610) continue;
      numbers.append(numbers.empty() ? "" : " ").append(t.text);
      EXPECT_EQ(t.x + 7 * static_cast<int>(t.text.size()), x(std::stoi(t.text) * weeksPerNumber)) << t.text;
    }
    EXPECT_EQ(ticks, c.ticks);
    EXPECT_EQ(numbers, c.numbers);
    EXPECT_EQ(TextsAt(graph, 638), std::to_string(x(c.fitted)) + ":" + c.unit);
    EXPECT_EQ(TextsAt(graph, 43) + " " + TextsAt(graph, 318), "29:1.0 36:.5");
  }
}

// Groups A to F. Deaths by week: A 7 in week 10 and 2 in week 100, B 5 in week 0, C 1 in week
// 300, multiplied by `scale`; by cause (alive, X, Y): A 3 7 0, B 1 1 1, C 0 2 5, the totals'
// slot stale until rebuilt. Numbers at risk at years 0, 1, 2, A's stopping at year 1 (the run's
// range was shorter), so its year 2 reads 0; C's line 3 rows thick in blue. Test results for
// the pair B and E. The tables and the number-at-risk view show A to C. The survival-rate
// view's headings, group rows and overall line of three or more groups are the batch
// command's text output, which its goldens hold.
TEST(Views, RowsOfEachView) {
  enum View { kCumulative, kByCause, kRate, kAtRisk };
  struct Case { const char* name; View view; std::vector<int> shown; int xMax, y; const char* row; int tickStep = 52, scale = 1;
                bool overallTested = true; };
  const std::vector<int> ac = {1, 3};
  const Case cases[] = {
      {"year headings", kCumulative, ac, 260, 24, "330:    0|410:    1|490:    2|570:    3|650:    4|730:    5|850:data max "},
      {"week headings are cut years", kCumulative, ac, 52, 24,
       "330:    0|410:46154|490:92308|570:38462|650:84615|730:30769|810:76923|930:data max ", 8},
      {"cumulative cells", kCumulative, ac, 260, 80, "330:    0|410:    7|490:    9|570:    9|650:    9|730:    9|850:    9"},
      {"totals at 220 leave the hidden group out", kCumulative, ac, 260, 220,
       "30: 累計 |330:    0|410:    7|490:    9|570:    9|650:    9|730:    9|850:   10"},
      {"totals past 16 bits do not wrap", kCumulative, ac, 104, 220, "30: 累計 |330:    0|410:56000|490:72000|610:80000", 52, 8000},
      {"no tick step yet: week 0 alone", kCumulative, ac, 260, 24, "330:    0|450:data max ", 0},
      {"cause headings", kByCause, ac, 260, 32, "330:alive|410:X|490:Y"},
      {"shown group's causes", kByCause, ac, 260, 80, "330:    3|410:    7|490:    0|10:A  "},
      {"hidden group: cause label only", kByCause, ac, 260, 120, "10:B  "},
      {"cause totals at 220", kByCause, ac, 260, 220, "50:累計  |330:    3|410:    9|490:    5"},
      {"hidden group's row stays empty", kRate, {0, 3}, 260, 160, ""},
      {"pair 2 and 5 of 6: log-rank at 380", kRate, {2, 5}, 260, 380, "100:p=0.05 |200:Logrank   χ2 =   3.84145"},
      {"pair 2 and 5 of 6: Wilcoxon at 420", kRate, {0, 2, 5}, 260, 420, "100:p=0.3173 |200:General Wilcoxon χ2 =  12.3456"},
      {"pair 2 and 5 of 6: overall at 460", kRate, {2, 5}, 260, 460, "100:p=0.0099 |200:Logrank( Peto & Peto ) χ2 = 6.5  "},
      {"one group: no test lines", kRate, {0, 5}, 260, 380, ""},
      {"pair without a death: no overall line", kRate, {2, 5}, 260, 460, "", 52, 1, false},
      {"three groups without a death: no overall line", kRate, {1, 2, 5}, 260, 380, "", 52, 1, false},
      {"first shown group at 80", kAtRisk, ac, 104, 80, "330:  96|410:  71|490:  0"}, {"C's label", kAtRisk, ac, 104, 128, "10:C  "},
      {"the hidden group takes no row: C at 120", kAtRisk, ac, 104, 120, "330:12345|410:  7|490:  0"},
      {"totals of the shown groups at 180", kAtRisk, ac, 104, 180, "30: 累計 |330:12441|410:  78|490:  0"},
  };
  for (const Case& c : cases) {
    auto ws = Plot(c.xMax, c.view == kRate ? 6 : 3, c.shown);
    ws->geometry.tickStep = static_cast<std::uint16_t>(c.tickStep);
    auto& counts = ws->cases.WeekCounts;
    std::tie(counts[10][2][1], counts[100][2][1], counts[0][2][2], counts[300][2][3]) =
        std::make_tuple(7 * c.scale, 2 * c.scale, 5 * c.scale, c.scale);
    ws->cases.NumCauses = 2;
    ws->cases.CauseNames = {"alive", "X", "Y"};
    auto& deaths = ws->cases.DeathsByCause;
    deaths[1] = {3, 7, 0};
    deaths[2] = {1, 1, 1};
    deaths[3] = {0, 2, 5};
    deaths[21].fill(99);
    ws->run.figures.groups[1].atRisk = {{0, 0, 96}, {1, 52, 71}};
    ws->run.figures.groups[2].atRisk = {{0, 0, 500}, {1, 52, 400}, {2, 104, 300}};
    ws->run.figures.groups[3].atRisk = {{0, 0, 12345}, {1, 52, 7}, {2, 104, 0}};
    ws->styles[3].width = 3;
    ws->styles[3].pen = {1, kBlue};
    for (int g : c.shown) ws->run.tests.ShownGroupCount += g > 0 ? 1 : 0;
    PairStats& p = ws->run.tests.pairs;
    std::tie(p.LogRankP[2][5], p.LogRankChi2[2][5], p.WilcoxonP[2][5], p.WilcoxonChi2[2][5]) =
        std::make_tuple(0.0500435, 3.8414588, 0.3173105, 12.345678);
    std::tie(ws->run.tests.petoP, ws->run.tests.petoStatistic, ws->run.tests.overallTested) =
        std::tuple(0.0099, 6.5, c.overallTested);
    RecordingCanvas view;
    if (c.view == kCumulative) DrawCumulativeDeaths(*ws, ws->styles, ws->geometry, &view);
    if (c.view == kByCause) ws->run.causeTotals = CauseTotals(ws->cases, ws->shown);
    if (c.view == kByCause) DrawDeathsByCause(*ws, ws->styles, &view);
    if (c.view == kRate) DrawSurvivalRateView(*ws, ws->styles, ws->geometry.xMax, &view);
    if (c.view == kAtRisk) DrawNumberAtRisk(*ws, ws->styles, ws->geometry.xMax, &view);
    EXPECT_EQ(TextsAt(view, c.y), c.row) << c.name;
    // C's line sample in the second row: its width in one-pixel rows, in its pen.
    if (c.view == kAtRisk) { EXPECT_EQ(Bar(view, {1, kBlue}, 40, 281), std::pair(128, 3)) << c.name; }
  }
}

// Each line sample row of a view in its pen, with the pixels left of it by the opaque labels
// drawn over its start (each byte 8 pixels wide, 16 high).
std::vector<std::pair<Pen, int>> SamplesShown(const RecordingCanvas& c) {
  const auto texts = c.Texts();
  std::vector<std::pair<Pen, int>> out;
  for (const auto& s : c.Segments()) {
    int shown = 0;
    for (int x = s.x1; x < s.x2; ++x) {
      shown += std::none_of(texts.begin(), texts.end(), [&](const auto& t) {
        return s.y1 >= t.y && s.y1 < t.y + 16 && x >= t.x && x < t.x + 8 * static_cast<int>(t.text.size());
      });
    }
    out.emplace_back(s.pen, shown);
  }
  return out;
}

// 20 groups and 3 causes of long names, each byte 8 pixels wide, 16 high, in the groups'
// default styles (every style drawn): in every table no text overlaps another or a moved line
// sample; labels that leave two periods of the longest dash pattern of the samples move
// nothing, wider ones move the samples right of them; every sample shows at least one period of
// its dashes, and each view grows by what its columns moved. Labels of 10,000 cases that still
// ended before the columns used to hide the samples under them: 28 bytes those of 生存率 (its
// labels begin with the group's number), 34 those of the other tables.
TEST(LongLabels, NothingOverlapsSamplesShowTheirDashesViewsGrow) {
  struct Case { const char* name; std::size_t labelBytes; int shift; };
  // A label's bytes and two blanks end at 10 + 8 per byte and a gap of 10: the samples start there.
  const Case cases[] = {{"short labels: nothing moves", 16, 0},
                        {"10,000 cases: 生存率's samples were hidden", 28, 10 + 240 + 10 - 40},
                        {"10,000 cases: every table's samples were hidden", 34, 10 + 288 + 10 - 40},
                        {"58-byte names", 58, 10 + 480 + 10 - 40}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto ws = Plot(520, 20, {});
    ws->geometry.tickStep = 52;
    ws->cases.NumCauses = 3;
    for (int g = 0; g <= 20; ++g) {
      ws->shown.Set(g, true);
      ws->texts[g][kLabel] = std::string(c.labelBytes - 14, 'G') + " ( n = 10000 )";
    }
    // Headings of 4, 16, 20 and 24 bytes: the last cause's alone sets the pitch.
    for (int j = 0; j <= 3; ++j) ws->cases.CauseNames[j] = std::string(j == 0 ? 4 : 12 + 4 * j, 'c');
    const AnalysisResults r = ws->Results();
    const ViewSizes grown = GrowViewSizes({}, FitLabels(r, [](std::string_view t) { return 8 * static_cast<int>(t.size()); }), 3);
    EXPECT_EQ(grown.numberAtRiskWidth - ViewSizes{}.numberAtRiskWidth, c.shift);
    EXPECT_EQ(grown.byCauseWidth - ViewSizes{}.byCauseWidth, c.shift + 4 * (24 * 8 + kLabelGap - 80)) << "wider cause columns";
    EXPECT_EQ(grown.legendWidth, std::max(400, 130 + 8 * static_cast<int>(c.labelBytes) + 40));
    RecordingCanvas views[5];
    for (RecordingCanvas& v : views) v.charWidth = 8;
    DrawCumulativeDeaths(r, ws->styles, ws->geometry, &views[0]);
    DrawDeathsByCause(r, ws->styles, &views[1]);
    DrawSurvivalRateView(r, ws->styles, 520, &views[2]);
    DrawNumberAtRisk(r, ws->styles, 520, &views[3]);
    DrawLegend(r, ws->styles, &views[4]);
    for (const RecordingCanvas& v : views) {
      const auto samples = SamplesShown(v);
      EXPECT_EQ(samples.size(), &v == &views[2] || &v == &views[4] ? 2u * 21 : 2u * 20) << "two rows a sample";
      for (const auto& [pen, shown] : samples) EXPECT_GE(shown, std::max(DashPeriod(pen.style), 1)) << "style " << pen.style << " in view " << &v - views;
      if (&v == &views[4]) continue;  // the legend's labels stand right of its samples
      // Texts (without their trailing blanks) and, once moved, the samples as boxes: left, top, right, bottom.
      std::vector<std::array<int, 4>> boxes;
      for (const auto& t : v.Texts()) boxes.push_back({t.x, t.y, t.x + 8 * static_cast<int>(t.text.find_last_not_of(' ') + 1), t.y + 16});
      const std::size_t texts = boxes.size();
      for (const auto& l : v.Segments()) if (c.shift > 0) boxes.push_back({std::min(l.x1, l.x2), l.y1, std::max(l.x1, l.x2), l.y1 + 1});
      for (std::size_t i = 0; i < texts; ++i) {
        for (std::size_t k = i + 1; k < boxes.size(); ++k) {
          EXPECT_FALSE(boxes[i][0] < boxes[k][2] && boxes[k][0] < boxes[i][2] && boxes[i][1] < boxes[k][3] && boxes[k][1] < boxes[i][3])
              << v.Texts()[i].text << " / " << (k < texts ? v.Texts()[k].text : "a sample");
        }
      }
    }
  }
}

// No range, under a year, a year, a week short of eleven years and eleven, twenty-one and
// twenty-two years, forty.
TEST(NumberAtRiskYears, EveryYearUpToElevenColumnsThenWiderSteps) {
  const std::pair<int, const char*> cases[] = {
      {-1, ""}, {51, "0"}, {52, "0 1"}, {571, "0 1 2 3 4 5 6 7 8 9 10"}, {572, "0 2 4 6 8 10"}, {1092, "0 2 4 6 8 10 12 14 16 18 20"},
      {1144, "0 4 8 12 16 20"}, {2080, "0 4 8 12 16 20 24 28 32 36 40"}};
  for (const auto& [xMax, expected] : cases) {
    std::string years;
    for (int y : NumberAtRiskYears(xMax)) years.append(years.empty() ? "" : " ").append(std::to_string(y));
    EXPECT_EQ(years, expected) << xMax;
  }
}

// The cumulative incidence view without a censored cause: its line alone; with one, the
// figure's layout at 0.4 pixels a dot: each year label and number at risk centred on its tick
// (x 81, 220, 360, 500, 640, 779; a digit 7 pixels wide), each Y label ending at x 71, 3
// pixels left of its tick, the Y title across above them, starting where they do. (Its curves at their level at the view's scale are the program's
// test CompetingRisksAndReferenceGroup; the layout it draws is the batch command's
// IncidenceFigure test.)
TEST(IncidenceView, LineWithoutACensoredCauseTextsAtTheirTicksWithOne) {
  auto ws = std::make_unique<Workspace>();
  ws->cases.NumGroups = 1;
  ws->shown.Set(1, true);
  ws->run.figures.groups[1].km = {1.0, 0.9, 0.9, 0.8};
  RecordingCanvas canvas;
  DrawIncidenceView(*ws, ws->run.competing, ws->styles, 260, &canvas);
  EXPECT_EQ(canvas.Texts(), (std::vector<RecordingCanvas::PlacedText>{{20, 20, kNoCompetingCause}}));
  ws->run.competing.active = true;
  ws->cases.GroupNames[1] = "A";
  ws->run.competing.groups[1].estimates.incidence = {0, 0.1, 0.1, 0.2};
  const int atRisk[] = {120, 96, 71, 54, 8, 0};
  for (int k = 0; k <= 5; ++k) ws->run.survival.AtRiskTable[static_cast<std::size_t>(52 * k)][1] = atRisk[k];
  canvas.Reset();
  DrawIncidenceView(*ws, ws->run.competing, ws->styles, 260, &canvas);
  EXPECT_EQ(TextsAt(canvas, 499), "78:0|217:1|357:2|497:3|637:4|776:5");
  EXPECT_EQ(TextsAt(canvas, 562), "46:A|70:120|213:96|353:71|493:54|637:8|776:0");
  EXPECT_EQ(std::tuple(TextsAt(canvas, 481), TextsAt(canvas, 28), TextsAt(canvas, 10)), std::tuple("49:0.0", "49:1.0", "49:累積発生率"));
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
using Strings = std::vector<std::string>;
// Three groups over weeks 0 to 104: A a censored case in week 60, C one in week 100.
const test::DataSet kThree = {{{1, 2}, {60}}, {{3}}, {{10, 20}, {100}}};

// A series whose numbers at risk are perYear[k] through year k's weeks.
FigureSeries Series(std::string name, const std::vector<std::int64_t>& perYear) {
  std::vector<std::int64_t> weekly;
  for (std::int64_t n : perYear) weekly.insert(weekly.end(), 52, n);
  return {.name = std::move(name), .survival = {1}, .censored = {false}, .lastWeek = 0, .atRisk = std::move(weekly)};
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
// out to every second year when they would collide. (A years axis as asked: a range under
// 3 years would be in months.)
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
    const FigureLayout l =
        Layout({.xMax = c.xMax, .series = {Series("A", c.first), Series("Empty", c.second)}, .timeUnit = FigureTimeUnit::Years});
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

// Under 3 years the axis counts months: ticks, labels and numbers every 3 months under 2
// years and every 6 from 2 years on, each number the count at risk of the first week
// that starts at or after its mark (1000 - week here), month m at week m x 30.4375 / 7. From
// 3 years on, years; --time-unit forces either.
TEST(PublicationFigure, MonthsAxisUnderThreeYearsElseYears) {
  using Ints = std::vector<int>;
  struct Case { const char* name; int xMax; FigureTimeUnit unit; const char* title; int step, ticks; Ints marks, weeks; };
  const Case cases[] = {
      {"just under 2 years: every 3 months", 103, FigureTimeUnit::Auto, "Months", 3, 8, {0, 3, 6, 9, 12, 15, 18, 21},
       {0, 14, 27, 40, 53, 66, 79, 92}},
      {"2 years: every 6 months", 104, FigureTimeUnit::Auto, "Months", 6, 4, {0, 6, 12, 18}, {0, 27, 53, 79}},
      {"just under 3 years", 155, FigureTimeUnit::Auto, "Months", 6, 6, {0, 6, 12, 18, 24, 30}, {0, 27, 53, 79, 105, 131}},
      {"3 years: years", 156, FigureTimeUnit::Auto, "Years", 1, 4, {0, 1, 2, 3}, {0, 52, 104, 156}},
      {"3 years in months as asked", 156, FigureTimeUnit::Months, "Months", 6, 6, {0, 6, 12, 18, 24, 30}, {0, 27, 53, 79, 105, 131}},
      {"half a year in years as asked: the axis spans one", 26, FigureTimeUnit::Years, "Years", 1, 2, {0, 1}, {0, 52}},
  };
  std::vector<std::int64_t> weekly;
  for (int w = 0; w <= 200; ++w) weekly.push_back(1000 - w);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FigureSeries s = Series("A", {});
    s.atRisk = weekly;
    const FigureLayout l = Layout({.xMax = c.xMax, .series = {s}, .timeUnit = c.unit});
    const double unitWeeks = c.title[0] == 'M' ? 30.4375 / 7 : 52;
    Strings labels, numbers;
    for (std::size_t i = 0; i < c.marks.size(); ++i) {
      std::string x = "@";
      x += std::to_string(l.plotLeft + c.marks[i] * unitWeeks * l.dotsPerWeek);
      labels.push_back(std::to_string(c.marks[i]) + x);
      numbers.push_back(std::to_string(1000 - c.weeks[i]) + x);
    }
    EXPECT_EQ(std::tuple(l.months, l.yearStep, Texts(l, TextRole::AxisTitle).front()), std::tuple(c.title[0] == 'M', c.step, c.title));
    EXPECT_EQ(Texts(l, TextRole::YearLabel, true), labels);
    EXPECT_EQ(Texts(l, TextRole::AtRiskNumber, true), numbers);
    int ticks = 0;
    for (const FigureLine& line : l.lines) {
      if (line.points.size() == 2 && line.points[0].y == l.plotBottom && line.points[1].y > l.plotBottom) ++ticks;
    }
    EXPECT_EQ(ticks, c.ticks);
  }
}

// The Y range: survival 0 to 1; rising curves 0 to the first tenth at or above the highest
// value drawn in the range (a value exactly on a tenth keeps it), the upper limits' with bands;
// a range asked for as given, the curve cut where it leaves the plot and censor marks outside
// it left out; labels from the low end at the step that reaches the high end.
TEST(PublicationFigure, YRangeOfSurvivalIncidenceAndAsAsked) {
  const struct { const char* name; double highest, top; } tops[] = {
      {"nothing drawn: one tenth", 0, 0.1}, {"4 %", 0.04, 0.1}, {"exactly a tenth", 0.1, 0.1},
      {"0.30 as the sum of weeks makes it", 0.1 + 0.1 + 0.1, 0.3}, {"a hair above 0.3", 0.3000001, 0.4},
      {"0.95", 0.95, 1}, {"1", 1, 1},
  };
  for (const auto& t : tops) EXPECT_DOUBLE_EQ(RisingScaleTop(t.highest), t.top) << t.name;

  const auto series = [](double start, std::vector<double> values) {
    FigureSeries s = Series("A", {10, 5});
    std::tie(s.start, s.lastWeek, s.survival, s.colour) = std::tuple(start, static_cast<int>(values.size()) - 1, values, kRed);
    s.censored.assign(values.size(), true);
    s.upper.assign(values.size(), kNaN);
    s.lower.assign(values.size(), kNaN);
    return s;
  };
  FigureSeries banded = series(0, {0.02, 0.2});
  banded.upper = {0.05, 0.31};
  banded.lower = {0.0, 0.1};
  const struct { const char* name; FigureInput in; FigureYRange range; Strings labels; int marks; } cases[] = {
      {"survival: 0 to 1", {.xMax = 260, .series = {series(1, {0.9, 0.5})}}, {0, 1}, {"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}, 2},
      {"4 % incidence: 0 to 0.1 in hundredths", {.xMax = 260, .series = {series(0, {0.01, 0.04})}, .rising = true}, {0, 0.1},
       {"0.00", "0.02", "0.04", "0.06", "0.08", "0.10"}, 2},
      {"a peak past the range is not drawn", {.xMax = 260, .series = {series(0, std::vector<double>(262, 0.2))}, .rising = true},
       {0, 0.2}, {"0.00", "0.05", "0.10", "0.15", "0.20"}, 261},
      {"bands: the upper limit", {.xMax = 260, .series = {banded}, .bands = true, .rising = true}, {0, 0.4},
       {"0.0", "0.1", "0.2", "0.3", "0.4"}, 2},
      {"0.9 reached in nine steps", {.xMax = 260, .series = {series(0, {0.5, 0.85})}, .rising = true}, {0, 0.9},
       {"0.0", "0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8", "0.9"}, 2},
      {"asked 0.25 to 0.75: the mark at 0.9 and the drop below cut", {.xMax = 260, .series = {series(1, {0.9, 0.5, 0.1})},
       .yRange = FigureYRange{0.25, 0.75}}, {0.25, 0.75}, {"0.25", "0.35", "0.45", "0.55", "0.65", "0.75"}, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const FigureLayout l = Layout(c.in);
    EXPECT_EQ(std::tuple(l.yRange, Texts(l, TextRole::SurvivalLabel)), std::tuple(c.range, c.labels));
    // The red lines but the line samples (72 dots across): the curve and its marks.
    int marks = 0;
    for (const FigureLine& line : l.lines) {
      if (line.colour != kRed || (line.points.size() == 2 && line.points[1].x - line.points[0].x == 72)) continue;
      for (const FigurePoint& p : line.points) EXPECT_TRUE(p.y >= l.plotTop - 11 && p.y <= l.plotBottom + 11) << p.y;
      if (line.width == 3) ++marks;
    }
    EXPECT_EQ(marks, c.marks);
  }
  // The cut curve: from 1 it enters the plot at its top, runs at 0.5 and leaves at its bottom.
  const FigureLayout cut = Layout({.xMax = 260, .series = {series(1, {0.9, 0.5, 0.1})}, .yRange = FigureYRange{0.25, 0.75}});
  const double w = cut.dotsPerWeek, x0 = cut.plotLeft, mid = cut.plotBottom - 0.5 * (cut.plotBottom - cut.plotTop);
  std::vector<std::vector<FigurePoint>> curve;
  for (const FigureLine& line : cut.lines) {
    if (line.colour == kRed && line.points.size() > 2) curve.push_back(line.points);
  }
  EXPECT_EQ(curve, (std::vector<std::vector<FigurePoint>>{{{x0 + w, cut.plotTop}, {x0 + w, mid}, {x0 + 2 * w, mid}, {x0 + 2 * w, cut.plotBottom}}}));
}

// A series in a 52-week range: week w at x = left + w * dotsPerWeek, survival s at
// y = bottom - s * (bottom - top).
struct FigurePlot {
  FigureLayout l;
  FigurePoint P(double w, double s) const { return {l.plotLeft + w * l.dotsPerWeek, l.plotBottom - s * (l.plotBottom - l.plotTop)}; }
};

FigurePlot PlotOf(std::vector<double> survival, std::vector<bool> censored, Rgb colour, bool bands = false, std::vector<double> lower = {},
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
    const FigurePlot p = PlotOf(c.survival, c.censored, kRed);
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
  const FigurePlot p = PlotOf(survival, {}, kGreen, true, lower, upper);
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
  // The legend's shrinking to the plot's right half is the batch command's check
  // (Figure.LabelsNeverBelowSixPointsLongNamesCut).
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
    EXPECT_EQ(std::tuple(a.atRisk.size(), a.atRisk[0], a.atRisk[1], a.atRisk[52], a.atRisk[104]), std::tuple(105u, 3, 3, 1, 0));
    // The views' p ("p>0.5 ", "p<0.001 ") spaced under the legend; none without a test.
    EXPECT_EQ(Texts(Layout(in), TextRole::PValue), c.pValue ? Strings{"Log-rank p > 0.5"} : Strings{});
    EXPECT_EQ(Texts(Layout({.series = in.series, .pValue = "p<0.001 "}), TextRole::PValue), Strings{"Log-rank p < 0.001"});
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
  AddReviewerFigures(ws.run.reviewer, ws.cases, in);
  const FigureLayout l = Layout(in);
  EXPECT_EQ(Texts(l, TextRole::PValue), Strings{"Log-rank " + RoundedPText(ws.run.reviewer.logRank.p)});
  EXPECT_EQ(Texts(l, TextRole::Legend), (Strings{"A (2/3)", "B (1/1)", "C (2/3)"}));
  EXPECT_EQ(Texts(l, TextRole::AtRiskLabel), (Strings{"A", "B", "C"}));
  EXPECT_EQ(Texts(l, TextRole::SurvivalLabel), (Strings{"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}));
  EXPECT_EQ(Texts(l, TextRole::AxisTitle), (Strings{"Months", "Survival probability"}));  // 104 weeks
  EXPECT_EQ(Texts(l, TextRole::AtRiskTitle), Strings{"Number at risk"});
  const std::vector<const FigureText*> foot = TextsOf(l, TextRole::Footnote);
  ASSERT_EQ(foot.size(), 1u);
  // Kept apart: EXPECT_EQ quotes its arguments as a narrow literal, which cannot hold the dash.
  const std::string footnote(reinterpret_cast<const char*>(
      u8"Tests and hazard ratios over weeks 0–104 (0–2 years). Cause-specific: 癌 counted as censored"));
  EXPECT_EQ(std::tuple(foot[0]->text, foot[0]->utf8, foot[0]->x, foot[0]->y), std::tuple(footnote, true, 30.0, kFigureHeight - 6.0));
  // A line of the footnote's size clear between the last row's descenders (a fifth of a size
  // under its baseline) and the footnote's top (four fifths above its own).
  double rowsBottom = 0;
  for (TextRole role : {TextRole::AtRiskLabel, TextRole::AtRiskNumber}) {
    for (const FigureText* t : TextsOf(l, role)) rowsBottom = std::max(rowsBottom, t->y + 0.2 * t->size);
  }
  EXPECT_NEAR(foot[0]->y - 0.8 * foot[0]->size - rowsBottom, foot[0]->size, 1e-9);
  // English labels name a group in the legend and the at-risk rows, and a cause in the footnote.
  ws.groupLabels[2] = "arm B";
  ws.causeLabels[1] = "cancer";
  FigureInput labelled = in;
  UseEnglishLabels(ws.cases, ws.groupLabels, ws.causeLabels, labelled);
  const FigureLayout named = Layout(labelled);
  EXPECT_EQ(Texts(named, TextRole::Legend), (Strings{"A (2/3)", "arm B (1/1)", "C (2/3)"}));
  EXPECT_EQ(Texts(named, TextRole::AtRiskLabel), (Strings{"A", "arm B", "C"}));
  const std::string labelledFootnote = footnote.substr(0, footnote.find(':', 30) + 2) + "cancer counted as censored";
  EXPECT_EQ(TextsOf(named, TextRole::Footnote)[0]->text, labelledFootnote);

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

// A text's box in a layout: its estimated width from its anchor, from 0.8 of its size above
// the baseline to 0.2 below, as the view draws it; a line's segments as boxes half its width
// either side (every line of these layouts is level or upright).
struct FigureBox {
  double left, top, right, bottom;
  bool Overlaps(const FigureBox& o) const { return left < o.right && o.left < right && top < o.bottom && o.top < bottom; }
};

FigureBox BoxOf(const FigureText& t) {
  const double w = EstimatedTextWidth(t.text, t.size);
  const double left = t.anchor == TextAnchor::Left ? t.x : t.anchor == TextAnchor::Centre ? t.x - w / 2 : t.x - w;
  return {left, t.y - 0.8 * t.size, left + w, t.y + 0.2 * t.size};
}

std::vector<FigureBox> SegmentsOf(const FigureLayout& l) {
  std::vector<FigureBox> out;
  for (const FigureLine& line : l.lines) {
    for (std::size_t i = 1; i < line.points.size(); ++i) {
      const FigurePoint a = line.points[i - 1], b = line.points[i];
      const double h = line.width / 2;
      out.push_back({std::min(a.x, b.x) - h, std::min(a.y, b.y) - h, std::max(a.x, b.x) + h, std::max(a.y, b.y) + h});
    }
  }
  return out;
}

// The view with long names, many groups and curves where the legend would stand: every text
// in the view's one size and inside the view, none over another or over a line; each name
// whole or cut between words with "…"; the legend in the plot only where it is clear, else
// beside it (right of a plot of the usual width when the plot could never hold it, else right
// of a narrower one); the view's words in Japanese; the size a load gives the view holding the
// figure. Groups 1 to G rise over half a year to levels from `low` to `high` (the middle one
// of three half-way) and stay there to week 260; 100, 80, ... 0 at risk at the year marks.
TEST(IncidenceView, LongNamesAndManyGroupsOverlapNothing) {
  std::string japanese = "多施設共同研究・長期経過観察コホート・第1xx施設群";
  japanese.resize(58, 'x');
  const std::string latin = "Multicentre cohort, long-term follow-up, site 101", ellipsis = "\x81\x63";
  struct Case { const char* name; int groups; std::string name_, legend, label; double low, high; const char* place; long width, height; };
  const Case cases[] = {
      {"four Latin names cut at a blank, low curves: in the plot's top right", 4, latin, "Multicentre cohort," + ellipsis,
       "Multicentre cohort, long-term" + ellipsis, 0.05, 0.2, "top", 2008, 1417 + 44},
      {"curves along the top and the bottom: beside a narrower plot", 3, "A", "A", "A", 0.02, 0.97, "narrower", 2008, 1417 + 44},
      // The legend's names have the at-risk labels' room but for the numbers'.
      {"twenty 58-byte Japanese names rising high: beside, the view wider and taller", 20, japanese,
       "多施設共同研究・長期経過観察コホート" + ellipsis, "多施設共同研究・長期経過観察コホー" + ellipsis, 0.3, 0.9, "wider",
       2008 + 72 + 14 + 19 * 100 / 3 + 30, 1417 + 44 + 20 * 44 - 468},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto ws = std::make_unique<Workspace>();
    ws->cases.NumGroups = c.groups;
    ws->run.competing.active = true;
    std::tie(ws->run.competing.overall.tested, ws->run.competing.overall.p) = std::tuple(true, 0.64460902981688495);
    for (int g = 1; g <= c.groups; ++g) {
      const auto gi = static_cast<std::size_t>(g);
      ws->shown.Set(g, true);
      ws->cases.GroupNames[gi] = c.name_;
      const double level = c.groups == 3 && g == 2 ? 0.5 : c.low + (c.high - c.low) * (g - 1) / (c.groups == 3 ? 2 : c.groups - 1);
      for (int w = 0; w <= 260; ++w) ws->run.competing.groups[gi].estimates.incidence.push_back(level * std::min(1.0, w / 26.0));
      ws->run.figures.groups[gi].km.assign(261, 0.5);
      for (int k = 0; k <= 5; ++k) ws->run.survival.AtRiskTable[static_cast<std::size_t>(52 * k)][gi] = 100 - 20 * k;
    }
    const FigureLayout l = IncidenceViewLayout(*ws, ws->run.competing, ws->styles, 260);
    EXPECT_EQ(Texts(l, TextRole::AxisTitle), (Strings{"年", "累積発生率"}));
    EXPECT_EQ(Texts(l, TextRole::AtRiskTitle), Strings{"リスク集団数"});
    EXPECT_EQ(Texts(l, TextRole::PValue), Strings{"Gray p = 0.64"});
    EXPECT_EQ(Texts(l, TextRole::Legend), Strings(static_cast<std::size_t>(c.groups), c.legend));
    EXPECT_EQ(Texts(l, TextRole::AtRiskLabel), Strings(static_cast<std::size_t>(c.groups), c.label));
    const FigureText& first = *TextsOf(l, TextRole::Legend).front();
    // Three-digit numbers leave the plot's usual 60 dots on the right.
    const bool narrower = l.plotRight < 2008 - 60;
    const std::string place = first.x > l.plotRight ? (narrower ? "narrower" : "wider") : first.y < l.plotBottom / 2 ? "top" : "bottom";
    EXPECT_EQ(std::tuple(place, std::lround(l.width), std::lround(l.height)), std::tuple(c.place, c.width, c.height));
    const std::vector<FigureBox> lines = SegmentsOf(l);
    for (std::size_t i = 0; i < l.texts.size(); ++i) {
      const FigureText& t = l.texts[i];
      const FigureBox box = BoxOf(t);
      EXPECT_EQ(t.size, kFigureTextSize) << t.text;
      EXPECT_TRUE(box.left >= 0 && box.top >= 0 && box.right <= l.width && box.bottom <= l.height) << t.text;
      for (std::size_t k = i + 1; k < l.texts.size(); ++k) EXPECT_FALSE(box.Overlaps(BoxOf(l.texts[k]))) << t.text << " / " << l.texts[k].text;
      for (const FigureBox& line : lines) EXPECT_FALSE(box.Overlaps(line)) << t.text << " over a line at " << line.left << ", " << line.top;
    }
    // A load sizes the view for every group shown, whatever the curves.
    const Rect client = IncidenceViewClient(*ws, ws->styles, 260);
    EXPECT_GE(client.right, l.width * kIncidenceViewScale);
    EXPECT_GE(client.bottom, l.height * kIncidenceViewScale);
  }
}

// The legend of either figure stands at the top right unless it would touch a curve or a
// censor mark there and is clear of them at the bottom right: survival near 1 and incidence
// ending high put it at the bottom, survival falling low and incidence staying low at the top.
// Its box runs from the first name's top to the p's descenders, from its samples to 10 dots
// inside the plot's right edge.
TEST(FigureLegend, StandsWhereItTouchesNoCurve) {
  const struct { const char* name; double start, level; bool top; } cases[] = {
      {"survival staying near 1", 1, 0.97, false}, {"survival falling to 0.05", 1, 0.05, true},
      {"incidence staying at 0.05", 0, 0.05, true}, {"incidence ending at 0.95", 0, 0.95, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FigureInput in{.xMax = 260, .pValue = "p=0.0019 ", .rising = c.start == 0, .yRange = FigureYRange{}};
    for (const char* name : {"A", "B", "C"}) {
      FigureSeries s = Series(name, {50, 40, 30, 20, 10, 5});
      std::tie(s.start, s.lastWeek, s.survival) = std::tuple(c.start, 260, std::vector<double>(261, c.level));
      s.censored.assign(261, false);
      for (int w = 20; w <= 260; w += 20) s.censored[static_cast<std::size_t>(w)] = true;
      in.series.push_back(s);
    }
    const FigureLayout l = Layout(in);
    const auto legend = TextsOf(l, TextRole::Legend);
    const FigureText& p = *TextsOf(l, TextRole::PValue).front();
    const FigureBox box{legend.front()->x - 72 - 14, legend.front()->y - 0.8 * legend.front()->size, l.plotRight - 10, p.y + 0.2 * p.size};
    EXPECT_EQ(legend.front()->y < (l.plotTop + l.plotBottom) / 2, c.top);
    for (const FigureLine& line : l.lines) {
      if (line.points.size() == 2 && line.points[1].x - line.points[0].x == 72) continue;  // the legend's own samples
      for (std::size_t i = 1; i < line.points.size(); ++i) {
        const FigurePoint a = line.points[i - 1], b = line.points[i];
        const double h = line.width / 2;
        const FigureBox segment{std::min(a.x, b.x) - h, std::min(a.y, b.y) - h, std::max(a.x, b.x) + h, std::max(a.y, b.y) + h};
        EXPECT_FALSE(box.Overlaps(segment)) << "segment at " << a.x << ", " << a.y;
      }
    }
  }
}

// The forest plot's shapes in the view, at 1,000 pixels for the 2008 dots of the figure's width:
// a square's fill as its rectangle, a line three dots wide as one pixel and one of nine dots as
// four side by side, texts placed by the canvas's own width from their anchor and
// by their baseline, a UTF-8 text left out.
TEST(ForestView, ShapesScaledAndTextsAnchoredByTheirMeasuredWidth) {
  FigureLayout layout;
  layout.fills.push_back({{{1004, 100}, {1022, 100}, {1022, 118}, {1004, 118}}, kRed});
  layout.lines.push_back({.points = {{0, 0}, {2008, 0}}, .colour = kBlue, .style = 1, .width = 3});
  layout.lines.push_back({.points = {{100, 300}, {100, 600}}, .width = 9});
  layout.texts = {{.x = 2008, .y = 300, .text = "HR", .anchor = TextAnchor::Right},
                  {.x = 1004, .y = 600, .text = "abc", .anchor = TextAnchor::Centre},
                  {.x = 30, .y = 44, .text = "Events/n"},
                  {.x = 30, .y = 88, .text = "x", .utf8 = true}};
  RecordingCanvas canvas;
  canvas.charWidth = 7;
  DrawForestLayout(layout, canvas);
  ASSERT_FALSE(canvas.ops.empty());
  EXPECT_EQ(canvas.ops.front(), (CanvasOp{.kind = CanvasOp::Kind::Fill, .colour = kRed, .rect = {500, 50, 509, 59}}));
  using Segment = RecordingCanvas::Segment;
  EXPECT_EQ(canvas.Segments(), (std::vector<Segment>{{0, 0, 1000, 0, {1, kBlue}},
                                                     {50, 149, 50, 299, {0, kBlack}},
                                                     {51, 150, 51, 300, {0, kBlack}},
                                                     {52, 151, 52, 301, {0, kBlack}},
                                                     {53, 152, 53, 302, {0, kBlack}}}));
  // The baselines 149, 299 and 22 less four fifths of the text's 16 pixels.
  using Text = RecordingCanvas::PlacedText;
  EXPECT_EQ(canvas.Texts(), (std::vector<Text>{{986, 136, "HR"}, {490, 286, "abc"}, {15, 9, "Events/n"}}));
}

}  // namespace
}  // namespace orv
