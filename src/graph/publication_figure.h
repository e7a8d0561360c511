// The publication figure: Kaplan-Meier curves with censor marks and optional 95 % bands,
// the time axis in months or years, legend, overall log-rank p and the numbers at risk under
// the axis, laid out as plain shapes and texts so that any renderer (PDF, SVG, PNG, TIFF)
// draws the same figure.
//
// Units are dots of a 300-dpi raster, origin top left, y down: the figure is 2008 x 1417
// dots, 170 x 120 mm, a journal's full column. Texts are code page 932 bytes; a text's x is
// its anchor (left end, centre or right end) and its y the baseline. Widths of texts come
// from the caller's measure, so the renderer's real font metrics decide the margins.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "graph/line_styles.h"
#include "platform/colour.h"
#include "words/analysis_results.h"
#include "stats/reviewer_results.h"

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

enum class TextRole { YearLabel, SurvivalLabel, AxisTitle, Legend, PValue, AtRiskTitle, AtRiskLabel, AtRiskNumber, Footnote };

struct FigureText {
  double x = 0;
  double y = 0;
  std::string text;
  double size = kFigureTextSize;
  TextAnchor anchor = TextAnchor::Left;
  bool vertical = false;  // turned a quarter left, reading upwards; x is then the baseline
  TextRole role = TextRole::AxisTitle;
  bool utf8 = false;  // the text is UTF-8: it holds a character code page 932 lacks
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
  std::string legendNote;  // after the name in the legend, never cut: " (events/cases)"
  Rgb colour = kBlack;
  int style = 0;
  int width = 2;  // the line style's bar width, 1..5
  std::vector<double> survival;
  std::vector<double> lower;
  std::vector<double> upper;
  std::vector<bool> censored;  // cases censored in week w; empty: no marks
  double start = 1;            // the level before week 0: 1 for survival, 0 for an incidence
  int lastWeek = -1;           // the group's last week with an event; -1 without one
  std::vector<std::int64_t> atRisk;  // at the start of week w, w = 0 .. the range's last week
};

// The unit of the time axis: months (ticks with labels and numbers at risk every 3 months,
// every 6 from a range of 2 years) for a range under 3 years, else years; or either as asked.
enum class FigureTimeUnit { Auto, Months, Years };
inline constexpr int kMonthsAxisBelowWeeks = 3 * 52;
inline constexpr double kWeeksPerMonth = 30.4375 / 7;

// The part of the Y scale the plot shows, low at the axis, high at the plot's top.
struct FigureYRange {
  double low = 0;
  double high = 1;
  bool operator==(const FigureYRange&) const = default;
};

// "LO,HI" as both programs take a Y range: plain decimal numbers, 0 <= LO < HI <= 1; none
// for anything else (a sign, a blank, an exponent, a number beyond the range).
std::optional<FigureYRange> ParseFigureYRange(std::string_view text);

// The top of rising curves' scale: the first tenth at or above the highest value drawn (0.3
// stays 0.3, 0.31 becomes 0.4), at least 0.1 and at most 1.
double RisingScaleTop(double highest);

struct FigureInput {
  int xMax = 260;  // weeks
  std::vector<FigureSeries> series;
  std::string pValue;  // the overall log-rank p as the views write it ("p=0.0019 "); empty: none
  bool bands = false;
  // What the axes show, the numbers at risk's heading and which test the p is of.
  std::string yTitle = "Survival probability";
  std::string xTitle = "Years";
  std::string xTitleMonths = "Months";
  std::string atRiskTitle = "Number at risk";
  std::string testName = "Log-rank";
  // The curves are incidences rising from 0: the Y scale ends at RisingScaleTop of the highest
  // value drawn (of the upper limits with bands) unless yRange is given.
  bool rising = false;
  std::optional<FigureYRange> yRange;
  FigureTimeUnit timeUnit = FigureTimeUnit::Auto;
  bool censorMarks = true;
  // The footnote under the numbers at risk: the weeks 0..testLastWeek the test and ratios
  // ran over (none when -1) and the censored causes' text (code page 932).
  int testLastWeek = -1;
  std::string censoredCauses;
  // Laid out for a window, which writes every text in one font and grows as far as it needs:
  // no text shrinks (the rows keep their height and the figure grows taller), the Y title
  // stands across above the axis, a name too wide for its place is cut after a whole word,
  // and the legend stands inside the plot only where it is clear of every line; else beside
  // the plot, which keeps its width when so many groups are listed that the legend could never
  // stand inside it (the figure grows wider), and else gives the legend room.
  bool forWindow = false;
};

// The colours of the figure: the groups' own; the eight colour-blind-safe colours of Okabe
// and Ito in drawing order, then the groups' own; or black throughout with the groups' line
// styles, a style already drawn replaced by a free one while one is (groups 1 to 4 share
// a style by default and would be told apart by nothing).
enum class FigurePalette { Program, OkabeIto, Grey };
inline constexpr std::array<Rgb, 8> kOkabeIto = {
    MakeRgb(0x00, 0x00, 0x00), MakeRgb(0xE6, 0x9F, 0x00), MakeRgb(0x56, 0xB4, 0xE9), MakeRgb(0x00, 0x9E, 0x73),
    MakeRgb(0xF0, 0xE4, 0x42), MakeRgb(0x00, 0x72, 0xB2), MakeRgb(0xD5, 0x5E, 0x00), MakeRgb(0xCC, 0x79, 0xA7),
};

// What the user chooses of a figure, the same in both programs: the colours, the bands, the
// time axis's unit, the Y range (none: the figure's own) and the censor marks.
struct FigureSettings {
  FigurePalette palette = FigurePalette::OkabeIto;
  bool bands = false;
  FigureTimeUnit timeUnit = FigureTimeUnit::Auto;
  std::optional<FigureYRange> yRange;
  bool censorMarks = true;
  bool operator==(const FigureSettings&) const = default;
};

struct FigureLayout {
  double width = kFigureWidth;  // larger only for a window
  double height = kFigureHeight;
  double plotLeft = 0;
  double plotTop = 0;
  double plotRight = 0;
  double plotBottom = 0;
  double dotsPerWeek = 0;
  bool months = false;  // the time axis's unit: months, else years
  int yearStep = 1;     // units (years or months) between labelled marks
  FigureYRange yRange;
  std::vector<FigureFill> fills;  // drawn first
  std::vector<FigureLine> lines;
  std::vector<FigureText> texts;  // drawn last
};

// The figure's input from the results of an analysis run: every shown group in drawing
// order (all cases first), the range of xMax weeks and the overall p when two or more groups
// are compared.
FigureInput FigureInputOf(const AnalysisResults& r, const LineStyles& styles, int xMax, bool bands);

// Group g's line and its numbers at risk at the start of each week up to xMax, without a curve.
FigureSeries SeriesOf(const AnalysisResults& r, const LineStyles& styles, int g, int xMax);

// What a reviewer asks of the figure: the standard log-rank p ("p = 0.0013") in place of the
// views' statistic, each legend entry as "name (events/cases)", the footnote's weeks and
// censored causes. The events are the deaths of the range's weeks that are not counted as
// censored, which are also the incidence figure's events of interest.
void AddReviewerFigures(const ReviewerResults& reviewer, const CaseData& cases, FigureInput& input);

// The English figure's names: each series' group and the footnote's censored causes by their
// English labels where given (UTF-8 per group and cause slot; empty: the file's names).
void UseEnglishLabels(const CaseData& cases, std::span<const std::string> groupLabels,
                      std::span<const std::string> causeLabels, FigureInput& input);

void ApplyFigurePalette(FigurePalette palette, FigureInput& input);

// The settings but the bands, which the input is made with: the palette, the time unit, the Y
// range and the censor marks.
void ApplyFigureSettings(const FigureSettings& settings, FigureInput& input);

FigureLayout LayoutPublicationFigure(const FigureInput& input, const TextMeasure& measure);

}  // namespace orv
