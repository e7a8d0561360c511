// The view windows as the core sees them: it only tells them their sizes after a load.
#pragma once

namespace orv {

// Sizes in pixels of the view windows, computed by every load from the numbers of groups
// and causes.
struct ViewSizes {
  int reportWidth = 500, reportHeight = 600;
  int legendWidth = 400, legendHeight = 0;
  int logRankWidth = 620, logRankHeight = 0;
  int wilcoxonWidth = 620, wilcoxonHeight = 0;
  int cumulativeWidth = 1000, cumulativeHeight = 0;
  int byCauseWidth = 0, byCauseHeight = 0;
  int survivalRateWidth = 900, survivalRateHeight = 0;
  // Eleven year columns and the totals; the interval columns at their tab stops.
  int numberAtRiskWidth = 1220, numberAtRiskHeight = 0;
  int intervalsWidth = 980, intervalsHeight = 0;
  int paperWidth = 900, paperHeight = 600;  // "論文用の記述": paragraphs that wrap
  bool operator==(const ViewSizes&) const = default;
};

class ViewWindows {
 public:
  virtual ~ViewWindows() = default;
  // Moves every view window to the load position and gives it its size, without repainting.
  virtual void Resize(const ViewSizes& sizes) = 0;
};

}  // namespace orv
