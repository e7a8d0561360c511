// Results of the group comparison tests.
#pragma once

#include <array>
#include <cstdint>

#include "data/case_data.h"

namespace orv {

// [group][group], 1..20 each way; index 0 unused. [r][q] with r < q holds the comparison of
// r and q and the lower half mirrors it. A pair without an informative week (zero
// variance) has a NaN statistic and a p-value of 1.
using PairTable = std::array<std::array<double, kGroupSlots>, kGroupSlots>;

struct PairStats {
  PairTable LogRankChi2{};
  PairTable LogRankP{};
  PairTable WilcoxonChi2{};
  PairTable WilcoxonP{};
};

struct GroupTestResults {
  PairStats pairs;
  double petoStatistic = 0;  // the overall statistic and its p-value
  double petoP = 1;
  // Whether the last run had an overall test: two or more shown groups with a death among
  // them in the weeks tested. Without a death every expected count is 0 and there is nothing
  // to test; the overall figures and texts are then left empty.
  bool overallTested = false;
  int ShownGroupCount = 0;
  // The Holm threshold of the log-rank table: 0.05 held in single precision.
  float SignificanceLevel = 0.05f;
};

}  // namespace orv
