// Guarded conversions of real numbers to integers.
#include "text/truncate.h"

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

std::uint16_t ToCoord(std::int64_t value) { return static_cast<std::uint16_t>(static_cast<std::uint64_t>(value) & 0xFFFFu); }
std::uint16_t ToCoord(double value) { return ToCoord(TruncToInt64(value)); }

}  // namespace orv
