// The words of the cumulative incidence figure: the event of interest named by its causes in
// the axis title and, with the competing causes, in the footnote. Code page 932, as the names;
// a cause with an English label is named by it.
#pragma once

#include <span>
#include <string>

#include "data/case_data.h"

namespace orv {

// "Cumulative incidence of A or B": the causes not counted as censored (the event of
// interest); "Cumulative incidence" when no cause is left.
std::string IncidenceAxisTitle(const CaseData& cases, std::span<const std::string> causeLabels = {});

// "Event of interest: A, B; competing: C, D", the competing causes those counted as censored;
// empty without one.
std::string IncidenceCausesText(const CaseData& cases, std::span<const std::string> causeLabels = {});

}  // namespace orv
