// Pairwise tables (to be written).
#include "stats/pairwise.h"

namespace orv {

std::string PairLabel(double) { return {}; }

std::string PairPText(double) { return {}; }

void WritePairwiseTables(Workspace&, Surfaces&) {}

}  // namespace orv
