// Start-up values of the survival tables.
#include "survival/survival_tables.h"

namespace orv {

SurvivalTables::SurvivalTables() {
  GroupSummaryTexts[0][kLabel] = "all case";
  GroupSummaryTexts[kSummaryTotalsRow][kLabel] = "累計";
}

}  // namespace orv
