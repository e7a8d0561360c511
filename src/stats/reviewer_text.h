// Short texts of the reviewer's figures shared by the text output and the publication
// figure: the standard log-rank p, the weeks the tests ran over, the censored causes.
#pragma once

#include <string>
#include <string_view>

#include "data/case_data.h"

namespace orv {

// p to two significant figures, rounded: "p = 0.0013", "p = 0.19", "p = 1.0"; "p < 0.001"
// below 0.001; "p = n/a" where there is none. Never "p > 0.5": a reader compares it.
std::string RoundedPText(double p);

// "Tests and hazard ratios over weeks 0<dash>260 (0<dash>5 years)"; a range of whole years
// gives "years" ("year" for one), any other its period ("0<dash>5y 3m"). Code page 932 has no
// en dash, so the caller gives the dash of the text's encoding.
std::string TestWindowText(int lastWeek, std::string_view dash);

// "Deaths of 移植, 再発 counted as censored" for the causes counted as censored, in code
// page 932 as the names; empty when none is.
std::string CensoredCausesText(const CaseData& cases);

}  // namespace orv
