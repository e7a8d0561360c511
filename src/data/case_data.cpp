// Start-up values of the case tables.
#include "data/case_data.h"

namespace orv {

CaseData::CaseData() {
  GroupNames[0] = "all case";
  CauseNames[0] = "生存";
  CauseNames[kTotalsIndex] = "死亡計";
  CauseCensored[0] = 1;
}

}  // namespace orv
