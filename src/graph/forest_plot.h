// The forest plot of the adjusted model: one row per term of the group model (the reference
// rows beside them) and per subgroup, each with its name, events/cases, a square at its hazard
// ratio with the 95 % interval as a line on a log scale, the ratio and interval as text and p;
// the reference line at 1 and the interaction test over the subgroups.
//
// Laid out as the publication figure is: a list of plain shapes and texts in dots of a 300-dpi
// raster, 2008 dots (170 mm) wide and as tall as the rows need, with the text measure passed
// in, so that Cairo, GDI and a test draw the same list.
#pragma once

#include <string>
#include <vector>

#include "graph/publication_figure.h"
#include "words/analysis_results.h"

namespace orv {

struct ForestRow {
  std::string name;        // code page 932
  int indent = 0;          // levels of indent of the name: a row under a heading
  bool heading = false;    // a title row: its name alone, no figures
  std::string counts;      // "40/80": events/cases; empty for none
  bool reference = false;  // "1 (reference)" in place of an estimate, no square
  bool estimated = false;  // false: "n/a" in place of an estimate, no square
  double hr = 1;
  double lower = 1;
  double upper = 1;
  std::string p;           // as written: "0.035", "< 0.001"
};

struct ForestInput {
  std::string title;   // over the names
  std::vector<ForestRow> rows;
  std::string footnote;  // under the axis: the model, its weeks and its global test
  Rgb colour = kBlack;   // the squares and their intervals
};

// The layout's measures, for a reader that lays out beside it.
inline constexpr double kForestRowHeight = 44;
inline constexpr double kForestMinRatio = 0.01;
inline constexpr double kForestMaxRatio = 100;

// The rows of the run's group model (covariates, strata) and its subgroups; no rows when no
// model was fitted or it was refused.
ForestInput ForestInputOf(const AnalysisResults& r);

// The tick values of a log axis spanning [lower, upper] (within kForestMinRatio..kForestMaxRatio):
// from 1, 2 and 5 times the powers of ten, the first at or below `lower` and the last at or
// above `upper`; 1 always among them. Past seven ticks the 2s, then the 5s, are left out.
std::vector<double> ForestTicks(double lower, double upper);

// plotLeft..plotRight is the axis, plotTop..plotBottom the rows' band.
FigureLayout LayoutForestPlot(const ForestInput& input, const TextMeasure& measure);

}  // namespace orv
