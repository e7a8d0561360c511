// Short texts of the reviewer's figures shared by the text output and the publication
// figure: the weeks the tests ran over and the censored causes.
#pragma once

#include <string>
#include <string_view>

#include "data/case_data.h"

namespace orv {

// "Tests and hazard ratios over weeks 0<dash>260 (0<dash>5 years)"; a range of whole years
// gives "years" ("year" for one), any other its period ("0<dash>5y 3m"). Code page 932 has no
// en dash, so the caller gives the dash of the text's encoding.
std::string TestWindowText(int lastWeek, std::string_view dash);

// "Deaths of 移植, 再発 counted as censored" for the causes counted as censored, in code
// page 932 as the names; empty when none is.
std::string CensoredCausesText(const CaseData& cases);

}  // namespace orv
