// FormatNumber and ParseNumber against their reference texts.
#include "text/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace orv {
namespace {

TEST(FormatNumber, ReferenceTexts) {
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {
      {0, "0"},
      {-0.0, "0"},
      {0.5, "0.5"},
      {12, "12"},
      {-3.25, "-3.25"},
      {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},
      {0.0001, "0.0001"},
      {0.00001, "1.00000000000000e-05"},
      {1e-7, "1.00000000000000e-07"},
      {1e-100, "1.00000000000000e-100"},
      {1e14, "100000000000000"},
      {1e15, "1.00000000000000e+015"},
      {1e20, "1.00000000000000e+020"},
      {2.5e20, "2.50000000000000e+020"},
      {0.1 + 0.2, "0.3"},
      {123456789012345.0, "123456789012345"},
      {1234567890123456.0, "1.23456789012346e+015"},
      {0.0001234, "0.0001234"},
      {-0.0001234, "-0.0001234"},
      {0.999999999999999, "1"},
      {0.9999999999999995, "1"},
      {0.99999999999999, "0.99999999999999"},
      {9.99999999999999, "10"},
      {65535, "65535"},
      {0.05, "0.05"},
      {0.3173, "0.3173"},
      {std::numeric_limits<double>::quiet_NaN(), "0"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatNumber(c.value), c.text) << "value " << c.value;
}

TEST(FormatNumber, InfinityGivesAFiniteText) {
  EXPECT_EQ(FormatNumber(std::numeric_limits<double>::infinity()), "1.#INF");
  EXPECT_EQ(FormatNumber(-std::numeric_limits<double>::infinity()), "-1.#INF");
}

TEST(FormatNumber, ExtremesStayWithinTwentyTwoBytes) {
  for (double v : {std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
                   std::numeric_limits<double>::min(), std::numeric_limits<double>::denorm_min()}) {
    EXPECT_LE(FormatNumber(v).size(), 22u) << v;
  }
  EXPECT_EQ(FormatNumber(std::numeric_limits<double>::denorm_min()), "4.94065645841247e-324");
}

TEST(ParseNumber, Grammar) {
  struct Case {
    const char* text;
    double value;
  };
  const Case cases[] = {
      {"  42abc", 42},   {"-.5", -0.5}, {"1,234", 1},  {"&hff", 255}, {"&HFF", 255}, {"&O17", 15},
      {"&o17", 15},      {"&X1", 0},    {"", 0},       {"abc", 0},    {"+-5", 0},    {"1e5", 1},
      {"\t 7.25", 7.25}, {"100", 100},  {"14561", 14561}, {".", 0},   {"&", 0},      {"&O8", 0},
      {"12.5.3", 12.5},  {"+3", 3},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(ParseNumber, FourHundredDigitsGiveInfinityNotUndefinedBehaviour) {
  EXPECT_TRUE(std::isinf(ParseNumber(std::string(400, '9'))));
  EXPECT_EQ(ParseNumber("0." + std::string(400, '0') + "1"), 0.0);
}

TEST(SourceCharset, LiteralsAreShiftJisBytes) {
  // "表" is 0x95 0x5C in Shift-JIS: its second byte is a backslash.
  const std::string hyou = "表";
  ASSERT_EQ(hyou.size(), 2u);
  EXPECT_EQ(static_cast<unsigned char>(hyou[0]), 0x95);
  EXPECT_EQ(static_cast<unsigned char>(hyou[1]), 0x5C);
  EXPECT_EQ(std::string("死亡"), std::string("\x8E\x80\x96\x53"));
  EXPECT_EQ(std::string("　").size(), 2u);
}

}  // namespace
}  // namespace orv
