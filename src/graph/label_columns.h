// Long group and cause names in the painted views: where the line samples and the columns go
// when a label is wider than the room the fixed layout leaves it, and how much wider each view
// then has to be.
//
// A view draws its labels from labelX, its line samples over sampleLeft..sampleRight and its
// columns right of them. Labels are drawn over the start of their samples: while the widest
// label and a gap leave kMinSampleShown of the samples nothing moves; a wider one moves the
// samples right of the labels and the columns with them (so that no sample shrinks to a stub
// or vanishes under a label that still ends before the columns). Cause headings wider than the
// column pitch widen every cause column. Widths come from a measure of the view's font, so
// the same layout serves the drawing and the sizing of the window.
#pragma once

#include <functional>
#include <string_view>

#include "graph/line_styles.h"
#include "platform/view_windows.h"
#include "words/analysis_results.h"

namespace orv {

// The width in pixels of a text in a view's default font; 0 where nothing can be measured.
using LabelMeasure = std::function<int(std::string_view bytes)>;

// Room between a label and what follows it.
inline constexpr int kLabelGap = 10;

// What a label leaves of its line sample at the least: two periods of the longest dash pattern.
inline constexpr int kMinSampleShown = 2 * kLongestDashPeriod;

// How far the samples and columns move for labels of this width.
int LabelShift(int labelX, int widestLabel, int sampleLeft, int sampleRight);

// The moves of each painted view for the labels of r; causePitch is the deaths-by-cause
// column pitch.
struct ViewShifts {
  int cumulative = 0, byCause = 0, survivalRate = 0, numberAtRisk = 0;
  int causePitch = 80;
  int legendLabelRight = 0;  // where the legend's widest label ends
};
ViewShifts FitLabels(const AnalysisResults& r, const LabelMeasure& measure);

// The sizes a load gave the views, each widened by as much as its labels moved it.
ViewSizes GrowViewSizes(ViewSizes sizes, const ViewShifts& shifts, int causes);

}  // namespace orv
