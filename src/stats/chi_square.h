// Chi-square upper-tail probabilities and the texts of p-values and statistics.
#pragma once

#include <string>

namespace orv {

// P(chi-square with df degrees of freedom > x), cut (never rounded) to seven decimals.
// The incomplete gamma series and the eight-coefficient gamma polynomial (Abramowitz and
// Stegun 6.1.36). A statistic whose series overflows gives 0; NaN gives 1.
double ChiSquareUpperTail(int df, double x);

// "p<0.001 ", "p>0.5   " or "p=" + the value cut to four decimals + " ".
std::string PValueText(double p);

// A statistic cut to 3 to 6 decimals by its size and padded to line up; a NaN statistic
// (no informative week) gives "  n/a".
std::string StatisticText(double x);

}  // namespace orv
