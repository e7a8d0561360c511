// Chi-square upper tails, their iteration counts, and the p-value and statistic texts.
#include "stats/chi_square.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace orv {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(ChiSquareUpperTail, ReferenceValuesAreCutToSevenDecimals) {
  struct Case {
    const char* name;
    int df;
    double x;
    double p;
  };
  const Case cases[] = {
      {"zero statistic", 1, 0, 1},
      {"one", 1, 1, 0.3173105},
      {"5% point of df 1, not rounded", 1, 3.84, 0.0500435},
      {"1% point of df 1", 1, 6.635, 0.0099994},
      {"5% point of df 2", 2, 5.991, 0.0500116},
      {"0.1% point of df 1", 1, 10.83, 0.0009987},
      {"df 4", 4, 2, 0.7357588},
      {"df 19", 19, 30, 0.0517985},
      {"far tail", 1, 20, 0.0000078},
      {"absolute tolerance lands exactly on 0.05", 1, 3.841459, 0.05},
      {"two-group example, log-rank 25/17", 1, 25.0 / 17.0, 0.2252529},
      {"two-group example, Wilcoxon 4/3", 1, 4.0 / 3.0, 0.2482131},
      {"no deaths, two groups", 1, 2, 0.1572992},
      {"no deaths, three groups", 2, 3, 0.2231301},
  };
  for (const Case& c : cases) EXPECT_EQ(ChiSquareUpperTail(c.df, c.x), c.p) << c.name;
}

TEST(ChiSquareUpperTail, SeriesIterationCounts) {
  struct Case {
    const char* name;
    double x;
    int iterations;
  };
  const Case cases[] = {
      {"3.84", 3.84, 16},
      {"20", 20, 41},
  };
  for (const Case& c : cases) EXPECT_EQ(IncompleteGammaSeries(0.5, c.x / 2).iterations, c.iterations) << c.name;
}

TEST(ChiSquareUpperTail, OutOfRangeStatisticsStayProbabilities) {
  struct Case {
    const char* name;
    int df;
    double x;
    double p;
  };
  const Case cases[] = {
      {"series overflows", 1, 1500, 0},
      {"far beyond the double range of the series", 1, 1e300, 0},
      {"power overflows with many degrees of freedom", 255, 1450, 0},
      {"between overflow and 1400", 19, 1400, 0},
      {"infinite statistic", 1, kInf, 0},
      {"no statistic", 1, kNaN, 1},
      {"negative statistic", 1, -3, 1},
  };
  for (const Case& c : cases) EXPECT_EQ(ChiSquareUpperTail(c.df, c.x), c.p) << c.name;
}

TEST(PValueText, CutToFourDecimalsBeforeTheBounds) {
  struct Case {
    const char* name;
    double p;
    const char* text;
  };
  const Case cases[] = {
      {"probability 1", 1, "p>0.5   "},
      {"just under 0.001 after the cut", 0.0009987, "p<0.001 "},
      {"exactly 0.001", 0.001, "p=0.001 "},
      {"exactly 0.5", 0.5, "p=0.5 "},
      {"5% point", 0.0500435, "p=0.05 "},
      {"0.3173105", 0.3173105, "p=0.3173 "},
      {"cut, not rounded", 0.0099994, "p=0.0099 "},
      {"log-rank example", 0.2252529, "p=0.2252 "},
      {"no deaths example", 0.1572992, "p=0.1572 "},
      {"zero", 0, "p<0.001 "},
      {"not a number", kNaN, "p=n/a   "},
  };
  for (const Case& c : cases) EXPECT_EQ(PValueText(c.p), c.text) << c.name;
}

TEST(StatisticText, DecimalsByMagnitude) {
  struct Case {
    const char* name;
    double x;
    const char* text;
  };
  const Case cases[] = {
      {"three decimals", 123.45678, "123.456"},
      {"trailing zeros trimmed", 1234.5, "1234.5"},
      {"four decimals", 12.345678, " 12.3456"},
      {"five decimals", 3.8414588, "  3.84145"},
      {"six decimals", 0.1234567, "  0.123456"},
      {"zero", 0, "  0"},
      {"just under ten keeps five decimals", 9.999999, "  9.99999"},
      {"ten", 10, " 10"},
      {"exactly 100", 100, "100"},
      {"log-rank example", 25.0 / 17.0, "  1.47058"},
      {"beyond the 32-bit cut", 3000000.123456, "3000000.123"},
      {"far beyond the 32-bit cut", 98765432109.87654, "98765432109.876"},
      {"beyond the 64-bit cut", 1e17, "1.00000000000000e+017"},
      {"no informative week", kNaN, "  n/a"},
  };
  for (const Case& c : cases) EXPECT_EQ(StatisticText(c.x), c.text) << c.name;
}

}  // namespace
}  // namespace orv
