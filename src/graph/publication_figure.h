// The publication figure: Kaplan-Meier curves with censor marks and optional 95 % bands,
// year axis, legend, overall log-rank p and the numbers at risk under the axis, laid out as
// plain shapes and texts so that any renderer (PDF, SVG, PNG) draws the same figure.
//
// Units are dots of a 300-dpi raster, origin top left, y down: the figure is 2008 x 1417
// dots, 170 x 120 mm, a journal's full column. Texts are code page 932 bytes; a text's x is
// its anchor (left end, centre or right end) and its y the baseline. Widths of texts come
// from the caller's measure, so the renderer's real font metrics decide the margins.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "graph/line_styles.h"
#include "platform/colour.h"
#include "stats/analysis_results.h"

namespace orv {

inline constexpr int kFigureDpi = 300;
inline constexpr int kFigureWidth = 2008;   // 170 mm
inline constexpr int kFigureHeight = 1417;  // 120 mm

// Text sizes in dots: 8 pt for every text of the figure.
inline constexpr double kFigureTextSize = 100.0 / 3.0;

struct FigurePoint {
  double x = 0;
  double y = 0;
  bool operator==(const FigurePoint&) const = default;
};

// An open polyline in one pen: style as in the line styles (0 solid .. 4 dash-dot-dot),
// width in dots.
struct FigureLine {
  std::vector<FigurePoint> points;
  Rgb colour = kBlack;
  int style = 0;
  double width = 1;
};

// A closed polygon filled with a colour at an opacity below 1 (the 95 % bands).
struct FigureFill {
  std::vector<FigurePoint> points;
  Rgb colour = kBlack;
  double opacity = 1;
};

enum class TextAnchor { Left, Centre, Right };

enum class TextRole { YearLabel, SurvivalLabel, AxisTitle, Legend, PValue, AtRiskTitle, AtRiskLabel, AtRiskNumber };

struct FigureText {
  double x = 0;
  double y = 0;
  std::string text;
  double size = kFigureTextSize;
  TextAnchor anchor = TextAnchor::Left;
  bool vertical = false;  // turned a quarter left, reading upwards; x is then the baseline
  TextRole role = TextRole::AxisTitle;
};

// The width in dots of a text at a size.
using TextMeasure = std::function<double(std::string_view bytes, double size)>;

// A width without a font: a double-byte character one em, any other byte 0.55 em.
double EstimatedTextWidth(std::string_view bytes, double size);

// One shown group's curve. survival[w] is S after week w for weeks 0..lastWeek (or the
// cumulative incidence F, rising from start 0); lower and upper are empty without bands,
// else the limits per week, NaN where there is none.
struct FigureSeries {
  int group = 0;
  std::string name;
  Rgb colour = kBlack;
  int style = 0;
  int width = 2;  // the line style's bar width, 1..5
  std::vector<double> survival;
  std::vector<double> lower;
  std::vector<double> upper;
  std::vector<bool> censored;  // cases censored in week w; empty: no marks
  double start = 1;            // the level before week 0: 1 for survival, 0 for an incidence
  int lastWeek = -1;           // the group's last week with an event; -1 without one
  std::vector<std::int64_t> atRisk;  // at the start of week 52k, k = 0, 1, ...
};

struct FigureInput {
  int xMax = 260;  // weeks
  std::vector<FigureSeries> series;
  std::string pValue;  // the overall log-rank p as the views write it ("p=0.0019 "); empty: none
  bool bands = false;
  // What the Y axis shows and which test the p is of.
  std::string yTitle = "Survival probability";
  std::string testName = "Log-rank";
};

struct FigureLayout {
  double width = kFigureWidth;
  double height = kFigureHeight;
  double plotLeft = 0;
  double plotTop = 0;
  double plotRight = 0;
  double plotBottom = 0;
  double dotsPerWeek = 0;
  int yearStep = 1;  // years between labelled year marks
  std::vector<FigureFill> fills;  // drawn first
  std::vector<FigureLine> lines;
  std::vector<FigureText> texts;  // drawn last
};

// The figure's input from the results of an analysis run: every shown group in drawing
// order (all cases first), the range of xMax weeks and the overall p when two or more groups
// are compared.
FigureInput FigureInputOf(const AnalysisResults& r, const LineStyles& styles, int xMax, bool bands);

// Group g's line and its numbers at risk at each year mark up to xMax, without a curve.
FigureSeries SeriesOf(const AnalysisResults& r, const LineStyles& styles, int g, int xMax);

FigureLayout LayoutPublicationFigure(const FigureInput& input, const TextMeasure& measure);

}  // namespace orv
