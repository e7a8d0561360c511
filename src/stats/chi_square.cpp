// Chi-square upper-tail probabilities, p-value texts and statistic texts.
#include "stats/chi_square.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "text/number_text.h"
#include "text/truncate.h"

namespace orv {

namespace {

constexpr std::array<double, 8> kGammaCoefficients = {
    -0.577191652, 0.988205891, -0.897056937, 0.918206857,
    -0.756704078, 0.482199394, -0.193527818, 0.035868343,
};

constexpr std::array<double, 8> kPowersOfTen = {1, 10, 100, 1000, 1e4, 1e5, 1e6, 1e7};

// Gamma(a + 1): the recurrence brings the argument into (1, 2], where the polynomial holds.
double GammaOfAPlusOne(double a) {
  double z = a + 1;
  double logSum = 0;
  while (z > 2) {
    z = z - 1;
    logSum = logSum + std::log(z);
  }
  z = z - 1;
  double g = 0;
  for (auto it = kGammaCoefficients.rbegin(); it != kGammaCoefficients.rend(); ++it) g = (g + *it) * z;
  g = g + 1;
  return std::exp(std::log(g) + logSum);
}

}  // namespace

GammaSeries IncompleteGammaSeries(double a, double h) {
  GammaSeries series;
  double term = 1;
  double previous = 0;
  double k = 1;
  // Once the sum overflows the difference is NaN and the loop ends; the caller sees infinity.
  while (std::fabs(previous - series.sum) > 1e-9) {
    term = term * h / (a + k);
    previous = series.sum;
    series.sum = series.sum + term;
    k = k + 1;
    ++series.iterations;
  }
  return series;
}

double ChiSquareUpperTail(int df, double x) {
  if (std::isnan(x) || x < 0) return 1;
  if (std::isinf(x)) return 0;
  const double a = std::clamp(df, 1, 255) / 2.0;
  const double h = x / 2;
  const GammaSeries series = IncompleteGammaSeries(a, h);
  const double lower = std::exp(-x / 2) * (std::pow(h, a) * (series.sum / GammaOfAPlusOne(a)));
  if (!std::isfinite(lower)) return 0;
  const double q = TruncToInt32((1 - lower) * 10000000) / 10000000.0;
  // The series can land a hair above 1 for large statistics; a probability stays in [0, 1].
  return std::clamp(q, 0.0, 1.0);
}

double ChiSquareTail(int df, double x) {
  if (std::isnan(x)) return 1;
  if (!(x > 0)) return 1;
  if (std::isinf(x)) return 0;
  const double h = x / 2;
  const double logH = std::log(h);
  double tail = 0;
  double logTerm = -h;  // log of the first term of the finite sum
  const int terms = df / 2;
  if (df % 2 == 0) {
    for (int j = 0; j < terms; ++j) {
      tail += std::exp(logTerm);
      logTerm += logH - std::log(j + 1.0);
    }
  } else {
    tail = std::erfc(std::sqrt(h));
    logTerm += 0.5 * logH + std::log(2 * std::numbers::inv_sqrtpi);  // 1 / Gamma(3/2) = 2 / sqrt(pi)
    for (int j = 0; j < terms; ++j) {
      tail += std::exp(logTerm);
      logTerm += logH - std::log(j + 1.5);
    }
  }
  return std::min(tail, 1.0);
}

double CutDecimals(double x, int decimals) {
  const int shown = std::clamp(decimals, 0, 7);
  const double scale = kPowersOfTen[static_cast<std::size_t>(shown)];
  if (std::isnan(x)) return x;
  if (std::fabs(x * scale) >= 9.2e18) return x;
  // A p of exactly 0.0029 is 28.999999999999996 ten-thousandths as a double: cut plainly it
  // would show as 0.0028.
  return static_cast<double>(CutToSteps(x, shown)) / scale;
}


}  // namespace orv
