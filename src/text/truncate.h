// The one place where real numbers become integers.
#pragma once

#include <cstdint>

namespace orv {

// Truncates toward zero. NaN gives 0; values beyond the range give its nearest end, so no
// conversion is ever undefined.
std::int32_t TruncToInt32(double value);
std::int64_t TruncToInt64(double value);

// The whole steps of 10^-decimals (decimals 0 to 15) in `value`, cut toward zero, for a
// figure shown to that many decimals: 0.853 at 3 decimals gives 853. A value a rounding error
// short of the next step away from zero is that step: 28 of 35 alive, reached as the product
// of seven weekly factors, is 0.7999999999999999 and gives 800, not 799, while 0.7995 gives
// 799. NaN gives 0; beyond the 64-bit range, 2^63 - 1 steps of the value's sign.
std::int64_t CutToSteps(double value, int decimals);

// A screen coordinate: truncated toward zero and kept as an unsigned 16-bit value, so a
// negative or too large position wraps as the platform's 16-bit coordinates do.
std::uint16_t ToCoord(double value);
std::uint16_t ToCoord(std::int64_t value);

}  // namespace orv
