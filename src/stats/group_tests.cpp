// Group comparison tests (to be written).
#include "stats/group_tests.h"

namespace orv {

void ComputePetoStatistic(Workspace&, Surfaces&) {}

void ComputePairStats(Workspace&) {}

}  // namespace orv
