// Guarded conversions of real numbers to integers.
#include "text/truncate.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orv {

namespace {

template <class Int>
Int Trunc(double value) {
  if (std::isnan(value)) return 0;
  // The bounds are exact doubles: -2^(n-1) and 2^(n-1).
  constexpr double lo = static_cast<double>(std::numeric_limits<Int>::min());
  constexpr double hi = -lo;
  if (value <= lo) return std::numeric_limits<Int>::min();
  if (value >= hi) return std::numeric_limits<Int>::max();
  return static_cast<Int>(value);
}

}  // namespace

std::int32_t TruncToInt32(double value) { return Trunc<std::int32_t>(value); }
std::int64_t TruncToInt64(double value) { return Trunc<std::int64_t>(value); }

std::int64_t CutToSteps(double value, int decimals) {
  // Relative to the value, as the error of a product is. A weekly factor 1 - d/n and its
  // multiplication each carry a rounding error of a few half units in the last place (2^-53
  // of the value), so that even 2,081 weeks of them stay below 1e-12 unless a week loses
  // nearly all its cases, which leaves a survival below any step shown; products over random
  // tables land within 8e-15. A true fraction that close below a step needs a denominator
  // beyond 10^12, a difference that no figure of a few decimals could show. The thousandth of
  // a step keeps the snap inside one step for large values.
  constexpr double kRelativeError = 1e-12;
  const double scaled = std::fabs(value) * std::pow(10.0, std::clamp(decimals, 0, 15));
  std::int64_t steps = TruncToInt64(scaled);
  const double next = static_cast<double>(steps) + 1;
  if (scaled < 9.2e18 && next - scaled <= std::min(kRelativeError * next, 1e-3)) ++steps;
  return value < 0 ? -steps : steps;
}

std::uint16_t ToCoord(std::int64_t value) { return static_cast<std::uint16_t>(static_cast<std::uint64_t>(value) & 0xFFFFu); }
std::uint16_t ToCoord(double value) { return ToCoord(TruncToInt64(value)); }

}  // namespace orv
