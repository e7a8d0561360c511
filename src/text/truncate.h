// The one place where real numbers become integers.
#pragma once

#include <cstdint>

namespace orv {

// Truncates toward zero. NaN gives 0; values beyond the range give its nearest end, so no
// conversion is ever undefined.
std::int32_t TruncToInt32(double value);
std::int64_t TruncToInt64(double value);

// A screen coordinate: truncated toward zero and kept as an unsigned 16-bit value, so a
// negative or too large position wraps as the platform's 16-bit coordinates do.
std::uint16_t ToCoord(double value);
std::uint16_t ToCoord(std::int64_t value);

}  // namespace orv
