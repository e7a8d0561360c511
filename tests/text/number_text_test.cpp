// The texts of numbers, periods and percentages, and the guarded conversions of reals to integers.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "text/number_text.h"
#include "text/period_text.h"
#include "text/truncate.h"

namespace orv {
namespace {

using Limits = std::numeric_limits<double>;

TEST(FormatNumber, ReferenceTexts) {
  struct { double value; const char* text; } cases[] = {
      {0, "0"}, {-0.0, "0"}, {-3.25, "-3.25"}, {1.0 / 3, "0.333333333333333"}, {2.0 / 3, "0.666666666666667"},
      {0.1 + 0.2, "0.3"}, {0.0001, "0.0001"}, {0.00001, "1.00000000000000e-05"}, {1e-100, "1.00000000000000e-100"},
      {-0.0001234, "-0.0001234"}, {1e14, "100000000000000"}, {1e15, "1.00000000000000e+015"},
      {2.5e20, "2.50000000000000e+020"}, {1234567890123456.0, "1.23456789012346e+015"}, {0.999999999999999, "1"},
      {0.99999999999999, "0.99999999999999"}, {9.99999999999999, "10"}, {Limits::quiet_NaN(), "0"},
      // Infinity would never leave the normalising loop.
      {Limits::infinity(), "1.#INF"}, {-Limits::infinity(), "-1.#INF"}, {Limits::denorm_min(), "4.94065645841247e-324"},
      // 32769 / 32768 = 1.000030517578125: the sixteenth digit is an exact 5, which rounds up.
      {32769.0 / 32768, "1.00003051757813"}, {-32769.0 / 32768, "-1.00003051757813"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatNumber(c.value), c.text) << "value " << c.value;
  for (double v : {Limits::max(), -Limits::max(), Limits::min()}) EXPECT_LE(FormatNumber(v).size(), 22u) << v;
}

TEST(ParseNumber, Grammar) {
  struct { const char* text; double value; } cases[] = {
      {"  42abc", 42}, {"-.5", -0.5}, {"1,234", 1}, {"&hff", 255}, {"&O17", 15}, {"&o17", 15}, {"&X1", 0}, {"", 0},
      {"abc", 0}, {"+-5", 0}, {"1e5", 1}, {"\t 7.25", 7.25}, {".", 0}, {"&", 0}, {"&O8", 0}, {"12.5.3", 12.5}, {"+3", 3},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseNumber(c.text), c.value) << '"' << c.text << '"';
  // Past the range of a double the digits give infinity, not undefined behaviour.
  EXPECT_TRUE(std::isinf(ParseNumber(std::string(400, '9'))));
  EXPECT_EQ(ParseNumber("0." + std::string(400, '0') + "1"), 0.0);
}

TEST(PeriodAndPercentText, ReferenceTexts) {
  struct { unsigned weeks; const char* text; } periods[] = {
      {0, "0.0m"}, {1, "0.2m"}, {2, "0.4m"}, {3, "0.6m"}, {4, "0.9m"}, {5, " 0y 1m"}, {37, " 0y 8m"}, {51, " 0y11m"},
      {52, " 1y 0m"}, {100, " 1y11m"}, {260, " 5y 0m"}, {2080, "40y 0m"}, {5199, "99y11m"}, {5200, "100y 0m"},
      {13311, "255y11m"}, {93184, "1792y 0m"},
  };
  for (const auto& c : periods) EXPECT_EQ(WeeksToYearsMonths(c.weeks), c.text) << c.weeks;
  struct { double fraction; const char* text; } percents[] = {
      {0, "  0.0"}, {0.005, "  0.5"}, {0.042, "  4.2"}, {0.523, " 52.3"}, {1, "100.0"}, {0.0004, "  0.0"},
      {0.9999, " 99.9"}, {0.5, " 50.0"}, {0.853, " 85.3"},
  };
  for (const auto& c : percents) EXPECT_EQ(PercentText(c.fraction), c.text) << c.fraction;
}

TEST(Truncate, TowardZeroSaturatingAndCoordinatesWrapping) {
  using I32 = std::numeric_limits<std::int32_t>;
  using I64 = std::numeric_limits<std::int64_t>;
  const double inf = Limits::infinity(), nan = std::nan(""), two31 = 2147483648.0, two63 = 9223372036854775808.0;
  struct { const char* name; std::int64_t got, want; } cases[] = {
      {"down", TruncToInt32(2.9), 2}, {"up", TruncToInt32(-2.9), -2}, {"NaN", TruncToInt32(nan), 0},
      {"2^31", TruncToInt32(two31), I32::max()}, {"below 2^31", TruncToInt32(std::nextafter(two31, 0)), I32::max()},
      {"above -2^31 - 1", TruncToInt32(-2147483648.5), I32::min()}, {"minus infinity", TruncToInt32(-inf), I32::min()},
      {"2^63", TruncToInt64(two63), I64::max()}, {"below 2^63", TruncToInt64(std::nextafter(two63, 0)), I64::max() - 1023},
      {"above -2^63", TruncToInt64(std::nextafter(-two63, 0)), I64::min() + 1024}, {"64-bit infinity", TruncToInt64(inf), I64::max()},
      {"negative coordinate", ToCoord(std::int64_t{100 - 130}), 65506}, {"coordinate wraps", ToCoord(65536.0), 0},
      {"NaN coordinate", ToCoord(nan), 0},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
}

}  // namespace
}  // namespace orv
