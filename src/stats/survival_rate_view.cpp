// The survival-rate view (to be written).
#include "stats/survival_rate_view.h"

namespace orv {

void DrawSurvivalRateView(const Workspace&, Canvas*) {}

}  // namespace orv
