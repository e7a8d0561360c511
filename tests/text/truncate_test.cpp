// Guarded conversions of reals to integers.
#include "text/truncate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace orv {
namespace {

TEST(Truncate, TowardZeroAndSaturating) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(TruncToInt32(2.9), 2);
  EXPECT_EQ(TruncToInt32(-2.9), -2);
  EXPECT_EQ(TruncToInt32(std::nan("")), 0);
  EXPECT_EQ(TruncToInt32(1e300), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(TruncToInt32(-inf), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(TruncToInt32(2147483647.5), 2147483647);
  EXPECT_EQ(TruncToInt64(inf), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(TruncToInt64(-9.5e18), std::numeric_limits<std::int64_t>::min());
}

TEST(Truncate, CoordinatesWrapAsSixteenBits) {
  EXPECT_EQ(ToCoord(100.7), 100);
  EXPECT_EQ(ToCoord(std::int64_t{100 - 130}), 65506);
  EXPECT_EQ(ToCoord(65536.0), 0);
  EXPECT_EQ(ToCoord(std::nan("")), 0);
}

}  // namespace
}  // namespace orv
