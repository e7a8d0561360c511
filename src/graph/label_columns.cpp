// Long labels in the painted views: the moves of their samples and columns.
#include "graph/label_columns.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

#include "graph/view_layout.h"
#include "text/number_text.h"

namespace orv {

namespace {

// The fixed layout: labels, samples (pixels 40 to 280) and the cause columns' pitch of the
// tables and of the survival-rate view.
constexpr int kTableLabelX = 10, kTableSampleLeft = 40, kTableSampleRight = 280, kColumnPitch = 80;
constexpr int kLegendLabelX = 130;
// A window's frame, its vertical bar and a margin: what a window needs beyond its content.
constexpr int kWindowExtra = 40;

const std::string& Label(const AnalysisResults& r, int g) { return r.texts[g][kLabel]; }

}  // namespace

int LabelShift(int labelX, int widestLabel, int sampleLeft, int sampleRight) {
  // Held wide: a label measured near the int's limit must not wrap to one that fits.
  const std::int64_t labelRight = static_cast<std::int64_t>(labelX) + std::max(widestLabel, 0) + kLabelGap;
  if (labelRight + kMinSampleShown <= sampleRight + 1) return 0;
  return static_cast<int>(std::min<std::int64_t>(labelRight - sampleLeft, std::numeric_limits<std::uint16_t>::max()));
}

ViewShifts FitLabels(const AnalysisResults& r, const LabelMeasure& measure) {
  const int groups = LastGroup(r.cases);
  // Every group's label, shown or not, so that a new choice of groups never needs another size.
  int widest = 0, widestRate = 0, widestLegend = 0;
  for (int g = 0; g <= groups; ++g) {
    if (g > 0) widest = std::max(widest, measure(Label(r, g) + "  "));
    widestRate = std::max(widestRate, measure(RightAligned(FormatNumber(g), 2) + ":   " + Label(r, g) + "  "));
    widestLegend = std::max(widestLegend, measure(Label(r, g)));
  }
  ViewShifts s;
  s.causePitch = kColumnPitch;
  s.cumulative = s.byCause = s.numberAtRisk = LabelShift(kTableLabelX, widest, kTableSampleLeft, kTableSampleRight);
  s.survivalRate = LabelShift(kTableLabelX, widestRate, kTableSampleLeft, kTableSampleRight);
  const int causes = std::clamp(r.cases.NumCauses, 0, kCauseSlots - 1);
  for (int j = 0; j <= causes; ++j) s.causePitch = std::max(s.causePitch, measure(r.cases.CauseNames[j]) + kLabelGap);
  s.legendLabelRight = kLegendLabelX + widestLegend;
  return s;
}

ViewSizes GrowViewSizes(ViewSizes sizes, const ViewShifts& shifts, int causes) {
  sizes.cumulativeWidth += shifts.cumulative;
  sizes.numberAtRiskWidth += shifts.numberAtRisk;
  sizes.survivalRateWidth += shifts.survivalRate;
  sizes.byCauseWidth += shifts.byCause + (std::max(causes, 0) + 1) * (shifts.causePitch - kColumnPitch);
  sizes.legendWidth = std::max(sizes.legendWidth, shifts.legendLabelRight + kWindowExtra);
  return sizes;
}

}  // namespace orv
