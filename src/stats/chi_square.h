// Chi-square upper-tail probabilities and the cut of a figure to its shown decimals.
#pragma once

namespace orv {

// P(chi-square with df degrees of freedom > x), cut (never rounded) to seven decimals.
// The incomplete gamma series and the eight-coefficient gamma polynomial (Abramowitz and
// Stegun 6.1.36). df is taken in 1..255 (values outside are clamped). A statistic whose
// series or power overflows gives 0; NaN gives 1; a negative statistic gives 1. The result
// always lies in [0, 1].
double ChiSquareUpperTail(int df, double x);

// P(chi-square with df degrees of freedom > x), df >= 1, to full precision: the p of a
// statistic compared with R's, where ChiSquareUpperTail cuts. The closed forms of whole
// degrees of freedom, h = x / 2: for even df, e^-h sum_{j < df/2} h^j / j!; for odd df,
// erfc(sqrt h) + e^-h sum_{j < (df-1)/2} h^(j+1/2) / Gamma(j + 3/2).
double ChiSquareTail(int df, double x);

// The confluent series sum of h^k / ((a+1)(a+2)...(a+k)), k = 0, 1, ..., stopped when a term
// adds 1e-9 or less, and the number of terms added after the first.
struct GammaSeries {
  double sum = 1;
  int iterations = 0;
};
GammaSeries IncompleteGammaSeries(double a, double h);


// x cut toward zero to `decimals` decimals (0 to 7), a value a rounding error short of a
// step counting as that step (CutToSteps). Values so large that the scaled value
// leaves the 64-bit range have no such decimals in a double and are returned as they are.
double CutDecimals(double x, int decimals);

}  // namespace orv
